// The step sequencer as the user meets it: the state after start, what every step shows,
// the button states, going back, re-opening, and the fatal processing errors.
#include <QFile>
#include <QTest>

#include "chart/view/chart_widget.h"
#include "support/window_test_support.h"
#include "windows/report_memo.h"

using namespace morvik::testing;

namespace {

QStringList HelpTexts(const ShownForm& f) {
    return {f.label("lblHelpLine1")->text(), f.label("lblHelpLine2")->text(),
            f.label("lblHelpLine3")->text(), f.label("lblHelpLine4")->text()};
}

bool HelpLinesVisible(const ShownForm& f) {
    return f.label("lblHelpLine1")->isVisible() && f.label("lblHelpLine4")->isVisible();
}

}  // namespace

class SequencerTest : public QObject {
    Q_OBJECT
  private slots:
    void startState() {
        ShownForm f;
        QCOMPARE(f.label("lblStepNumber")->text(), QStringLiteral("1"));
        QCOMPARE(f.label("lblStepName")->text(), QStringLiteral("Read data set"));
        QCOMPARE(HelpTexts(f),
                 QStringList({"- Open file with data vectors", "- Each data vector per line",
                              "- Dimensions separated by space/tab",
                              "- Graph: zoom with LMB, shift with RMB"}));
        QVERIFY(HelpLinesVisible(f));
        QVERIFY(!f.label("imgHelpStep3")->isVisible());
        QVERIFY(!f.label("imgHelpStep4")->isVisible());
        QVERIFY(!f.button("btnBack")->isEnabled());
        QVERIFY(!f.button("btnNext")->isEnabled());
        QCOMPARE(f.label("lblSourceFile")->text(), QStringLiteral("no file"));
        QVERIFY(f.form().ReportLines().isEmpty());
        QVERIFY(f.control<QWidget>("memoCalcBox")->isVisible());
        QVERIFY(!f.label("lblProcessInfo")->isVisible());
        QCOMPARE(f.form().focusWidget(), f.button("btnData"));
    }

    // Walks 1 -> 6 and back to 1 on a data set with a principal component, checking what
    // every step shows before and after its computation.
    void everyStepForwardAndBack() {
        ShownForm f;
        DataFiles files;
        AnimationRecorder recorder(f.form());
        struct Expected {
            const char* name;
            bool helpLines;
            bool picture3;
            bool picture4;
            const char* help1;
            const char* help4;
            bool backEnabled;
            bool nextEnabled;
            const char* processCaption;
            bool series[4];
        };
        const Expected steps[] = {
            {"Read data set",
             true,
             false,
             false,
             "- Open file with data vectors",
             "- Graph: zoom with LMB, shift with RMB",
             false,
             true,
             "Reading data...",
             {true, false, false, false}},
            {"Subtract the mean",
             true,
             false,
             false,
             "- Calculate mean for each dimension",
             "",
             true,
             true,
             "Calculating...",
             {true, false, false, false}},
            {"Covariance matrix",
             false,
             true,
             false,
             nullptr,
             nullptr,
             true,
             true,
             "Calculating...",
             {true, false, false, false}},
            {"Eigenvectors/eigenvalues",
             false,
             false,
             true,
             nullptr,
             nullptr,
             true,
             true,
             "Calculating...",
             {true, false, false, false}},
            {"Principal component",
             true,
             false,
             false,
             "Principal component is the eigenvector with",
             "Dimensionality reduction: see next step.",
             true,
             true,
             "Calculating...",
             {false, true, true, false}},
            {"Deriving new data set",
             true,
             false,
             false,
             "- Multiply PC vector by data vectors",
             "- For details see About reference",
             true,
             false,
             "Calculating...",
             {false, true, true, false}},
        };
        auto check = [&](int step) {
            const Expected& e = steps[step];
            QCOMPARE(f.label("lblStepNumber")->text(), QString::number(step + 1));
            QCOMPARE(f.label("lblStepName")->text(), QString::fromLatin1(e.name));
            QCOMPARE(HelpLinesVisible(f), e.helpLines);
            QCOMPARE(f.label("imgHelpStep3")->isVisible(), e.picture3);
            QCOMPARE(f.label("imgHelpStep4")->isVisible(), e.picture4);
            if (e.help1 != nullptr) {
                QCOMPARE(f.label("lblHelpLine1")->text(), QString::fromLatin1(e.help1));
                QCOMPARE(f.label("lblHelpLine4")->text(), QString::fromLatin1(e.help4));
            }
            QCOMPARE(f.button("btnBack")->isEnabled(), e.backEnabled);
            QCOMPARE(f.button("btnNext")->isEnabled(), e.nextEnabled);
            QCOMPARE(f.label("lblProcessInfo")->text(), QString::fromLatin1(e.processCaption));
            QVERIFY(!f.label("lblProcessInfo")->isVisible());
            QVERIFY(f.control<QWidget>("memoCalcBox")->isVisible());
            auto& model = f.form().Chart()->Model();
            const bool active[] = {model.Series1.Active(), model.Series2.Active(),
                                   model.Series3.Active(), model.Series4.Active()};
            for (int s = 0; s < 4; ++s) QCOMPARE(active[s], e.series[s]);
        };
        // While a step computes, the process label stands in place of the report.
        bool busyDisplay = false;
        recorder.onPause = [&](int) {
            busyDisplay = f.label("lblProcessInfo")->isVisible() &&
                          !f.control<QWidget>("memoCalcBox")->isVisible();
        };

        f.form().OpenFile(files.write("three.txt", "1 2\n3 4\n5 0\n"));
        QCOMPARE(f.label("lblSourceFile")->text(), QStringLiteral("three.txt"));
        check(0);
        for (int step = 1; step < 6; ++step) {
            f.button("btnNext")->click();
            check(step);
        }
        QVERIFY(busyDisplay);
        QCOMPARE(f.form().CurrentStep(), 5);
        for (int step = 4; step >= 0; --step) {
            f.button("btnBack")->click();
            check(step);
        }
        // Step 1 reached with "<  Back" lists from memory and keeps "Next  >" enabled.
        QVERIFY(f.button("btnNext")->isEnabled());
        QVERIFY(!f.button("btnBack")->isEnabled());
    }

    void backToStepOneListsFromMemoryAfterTheFileIsGone() {
        ShownForm f;
        DataFiles files;
        const QString path = files.write("gone.txt", "1 2\r\n3 4\r\n");
        f.form().OpenFile(path);
        const QStringList firstReport = f.form().ReportLines();
        f.button("btnNext")->click();
        QVERIFY(QFile::remove(path));
        f.button("btnBack")->click();
        QCOMPARE(f.form().ReportLines(), firstReport);
        QCOMPARE(f.form().Chart()->Model().Series1.Count(), std::size_t{2});
        QVERIFY(f.form().LastStepSucceeded());
        QVERIFY(f.button("btnNext")->isEnabled());
    }

    void reopeningReturnsToStepOneAndForgetsTheOldData() {
        ShownForm f;
        DataFiles files;
        AnimationRecorder recorder(f.form());
        f.form().OpenFile(files.write("a.txt", "1 2\n3 4\n5 0\n"));
        for (int i = 0; i < 4; ++i) f.button("btnNext")->click();
        QCOMPARE(f.form().CurrentStep(), 4);

        f.form().OpenFile(files.write("empty.txt", ""));
        QCOMPARE(f.form().CurrentStep(), 0);
        QCOMPARE(f.form().DataSet().Count, 0u);
        QVERIFY(!f.form().DataSet().Loaded);
        QVERIFY(!f.button("btnNext")->isEnabled());
        QVERIFY(!f.button("btnBack")->isEnabled());
        QCOMPARE(f.form().ReportLines(), QStringList({"File: empty.txt", "", "", "", ""}));
        auto& model = f.form().Chart()->Model();
        QCOMPARE(model.Series1.Count() + model.Series2.Count() + model.Series3.Count() +
                     model.Series4.Count(),
                 std::size_t{0});

        f.form().OpenFile(files.write("b.txt", "7 8\n"));
        QVERIFY(f.button("btnNext")->isEnabled());
        QCOMPARE(f.form().ReportLines().last(), QStringLiteral("7; 8"));
    }

    void hidingAndShowingAgainKeepsTheStep() {
        ShownForm f;
        DataFiles files;
        f.form().OpenFile(files.write("a.txt", "1 2\n3 4\n"));
        f.button("btnNext")->click();
        f.form().hide();
        f.form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.form()));
        QCOMPARE(f.form().CurrentStep(), 1);
        QCOMPARE(f.label("lblSourceFile")->text(), QStringLiteral("a.txt"));
    }

    void fatalReadingErrors_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<QString>("cause");
        QTest::newRow("missing file") << QByteArray() << true << QString();
        QTest::newRow("header words") << QByteArray("x y\n1 2\n") << false
                                      << QStringLiteral("File read error. Error reading line: 1");
        QTest::newRow("several invalid numbers, one dialog")
            << QByteArray("1 2\n3 4\n5,5 6\nbad bad\n") << false
            << QStringLiteral("File read error. Error reading line: 3");
    }

    void fatalReadingErrors() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, missing);
        QFETCH(QString, cause);
        ShownForm f;
        DataFiles files;
        const QString path = missing ? files.path("missing.txt") : files.write("bad.txt", bytes);
        if (missing) cause = QStringLiteral("File read error. Can not open file: ") + path;
        MessageBoxAnswerer answerer;
        f.form().OpenFile(path);
        QCOMPARE(answerer.seen().size(), std::size_t{1});
        QCOMPARE(answerer.seen()[0].title, QStringLiteral("Warning"));
        QCOMPARE(answerer.seen()[0].icon, QMessageBox::Warning);
        QCOMPARE(answerer.seen()[0].text, QStringLiteral("Processing error:\n") + cause +
                                              QStringLiteral("\n\nApplication will be closed."));
        QVERIFY(f.form().EndRequested());
        QVERIFY(!f.form().LastStepSucceeded());
        QCOMPARE(f.form().DataSet().Vectors.Size(), std::size_t{0});
        QCOMPARE(f.form().Chart()->Model().Series1.Count(), std::size_t{0});
        QVERIFY(!f.label("lblProcessInfo")->isVisible());
    }
};

QTEST_MAIN(SequencerTest)
#include "tst_sequencer.moc"
