// The main window's own commands and resize rules: opening through the dialog, saving the
// report and the chart, About, and the square chart.
#include <sys/resource.h>
#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QPlainTextEdit>
#include <QTest>
#include <csignal>

#include "chart/view/chart_widget.h"
#include "support/window_test_support.h"

using namespace morvik::testing;

class CommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void openThroughTheDialog() {
        ShownForm f;
        DataFiles files;
        const QString path = files.write("dialog.txt", "1 2\n");
        auto* dialog = f.control<QFileDialog>("dlgOpenData");
        QCOMPARE(dialog->nameFilters(), QStringList({"Text file (*.txt)", "All files (*)"}));
        {
            FileDialogAnswerer answerer(QString{});
            f.button("btnData")->click();
            QVERIFY(answerer.answered());
            QCOMPARE(f.label("lblSourceFile")->text(), QStringLiteral("no file"));
        }
        FileDialogAnswerer answerer(path);
        f.button("btnData")->click();
        QCOMPARE(f.label("lblSourceFile")->text(), QStringLiteral("dialog.txt"));
        QCOMPARE(f.form().ReportLines().last(), QStringLiteral("1; 2"));
    }

    void savedReportBytes() {
        ShownForm f;
        DataFiles files;
        const QString target = files.path("report");  // the default extension is added
        {
            FileDialogAnswerer answerer(target);
            f.button("btnSaveCalc")->click();
        }
        QCOMPARE(ReadAll(target + ".txt"), QByteArray());  // an empty report: an empty file

        // A file name long enough to wrap the first report line on screen stays one line.
        const QString longName =
            QStringLiteral("a-rather-long-file-name-that-wraps-in-the-report-memo.txt");
        f.form().OpenFile(files.write(longName, "1 2\n3 4\n"));
        {
            FileDialogAnswerer answerer(files.path("step1.txt"));
            f.button("btnSaveCalc")->click();
        }
        QCOMPARE(ReadAll(files.path("step1.txt")),
                 "File: " + longName.toUtf8() +
                     "\r\n\r\n2 data vectors:\r\n(shown first 100 points)\r\n\r\n1; 2\r\n3; 4\r\n");
    }

    void savedChartIsA24BitBitmapOfTheChart() {
        ShownForm f;
        DataFiles files;
        f.form().OpenFile(files.write("a.txt", "1 2\n3 4\n5 0\n"));
        {
            FileDialogAnswerer answerer(files.path("chart"));
            f.button("btnSaveGraph")->click();
        }
        const QByteArray bytes = ReadAll(files.path("chart.bmp"));
        QVERIFY(bytes.startsWith("BM"));
        QCOMPARE(quint16(uchar(bytes[28]) | uchar(bytes[29]) << 8), quint16(24));  // bits per pixel
        QImage image;
        QVERIFY(image.loadFromData(bytes, "BMP"));
        QCOMPARE(image.size(), QSize(500, 500));
        QCOMPARE(image.pixelColor(1, 1), QColor(Qt::white));
        bool dataColour = false;
        for (int y = 0; y < image.height() && !dataColour; ++y) {
            for (int x = 0; x < image.width() && !dataColour; ++x)
                dataColour = image.pixelColor(x, y) == QColor(0, 128, 255);
        }
        QVERIFY(dataColour);
    }

    // A write that fails half-way (here: the file size limit) leaves the previous file whole.
    void failedWriteKeepsThePreviousFile() {
        ShownForm f;
        DataFiles files;
        f.form().OpenFile(files.write("a.txt", NumberedVectors(50)));
        const QString kept = files.write("kept.txt", "previous contents\n");
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit small{64, old.rlim_max};
        signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        MessageBoxAnswerer boxes;
        {
            FileDialogAnswerer answerer(kept);
            f.button("btnSaveCalc")->click();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        QCOMPARE(boxes.seen().size(), std::size_t{2});  // the overwrite question, then the error
        QCOMPARE(boxes.seen()[1].text, QStringLiteral("Stream write error."));
        QCOMPARE(ReadAll(kept), QByteArray("previous contents\n"));
        QCOMPARE(QDir(files.path("")).entryList(QDir::Files).size(), 2);  // no temporary left
    }

    void resizeKeepsTheChartSquare() {
        ShownForm f;
        QWidget& w = f.form();
        auto* chart = f.control<QWidget>("chrtGraph");
        auto* memo = f.control<QWidget>("memoCalcBox");
        QCOMPARE(w.size(), QSize(786, 555));
        QCOMPARE(chart->geometry(), QRect(275, 12, 500, 500));

        w.resize(w.width(), 655);
        QCOMPARE(chart->geometry(), QRect(275, 12, 600, 600));
        QCOMPARE(w.size(), QSize(275 + 600 + 12, 655));
        QCOMPARE(memo->height(), 185 + 100);
        for (const char* name : {"btnSaveCalc", "btnAbout", "btnSaveGraph"})
            QCOMPARE(f.button(name)->y(), 620);
        QCOMPARE(f.control<QWidget>("chbxShowProjectionLines")->y(), 620);
        for (const char* name : {"btnBack", "btnNext", "btnData"})
            QCOMPARE(f.button(name)->y() < 150, true);
        QCOMPARE(f.control<QWidget>("gbxHelpBox")->geometry(), QRect(16, 160, 241, 129));

        w.resize(w.width() + 50, w.height());  // a width of its own is refused
        QCOMPARE(w.width(), 887);
        w.resize(w.width(), 300);  // never below the start height
        QCOMPARE(w.height(), 555);
        QCOMPARE(chart->geometry(), QRect(275, 12, 500, 500));
    }

    void layoutAndKeyboardOrder() {
        ShownForm f;
        const std::pair<const char*, QRect> placed[] = {
            {"btnBack", {16, 72, 75, 25}},        {"btnNext", {112, 72, 75, 25}},
            {"btnData", {16, 120, 97, 20}},       {"gbxHelpBox", {16, 160, 241, 129}},
            {"gbxCalcBox", {16, 304, 241, 209}},  {"memoCalcBox", {8, 16, 225, 185}},
            {"btnSaveCalc", {16, 520, 65, 20}},   {"btnAbout", {192, 520, 65, 20}},
            {"btnSaveGraph", {275, 520, 65, 20}}, {"imgHelpStep3", {8, 18, 225, 98}},
        };
        for (const auto& [name, rect] : placed)
            QCOMPARE(f.control<QWidget>(name)->geometry(), rect);
        auto* check = f.control<QCheckBox>("chbxShowProjectionLines");
        QVERIFY(check->isChecked() && !check->isEnabled() && check->isHidden());
        for (QPushButton* button :
             f.form().findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly)) {
            QVERIFY(!button->isDefault() && !button->autoDefault());
        }
        // With every button enabled, Tab visits them in the documented order.
        DataFiles files;
        f.form().OpenFile(files.write("a.txt", "1 2\n3 4\n"));
        f.button("btnNext")->click();
        QStringList order;
        QWidget* widget = f.button("btnBack");
        for (int i = 0; i < 7; ++i) {
            order << widget->objectName();
            widget = widget->nextInFocusChain();
            while (!(widget->isVisible() && widget->isEnabled() &&
                     (widget->focusPolicy() & Qt::TabFocus))) {
                widget = widget->nextInFocusChain();
            }
        }
        QCOMPARE(order, QStringList({"btnBack", "btnNext", "memoCalcBox", "btnSaveCalc",
                                     "btnSaveGraph", "btnData", "btnAbout"}));
    }
};

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
