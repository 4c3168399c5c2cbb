// Step 1 as the window shows it: report lines, the locale's decimal separator, the points,
// the marker size, the fitted axes, and a file that gives no vector.
#include <QLocale>
#include <QTest>
#include <bit>

#include "chart/view/chart_widget.h"
#include "support/window_test_support.h"

using namespace morvik::testing;

class ReadDataSetTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void reportLinesAndPoints() {
        ShownForm f;
        DataFiles files;
        f.form().OpenFile(files.write("two.txt", "1 2\r\n3 4\r\n"));
        QCOMPARE(f.form().ReportLines(),
                 QStringList({"File: two.txt", "", "2 data vectors:", "(shown first 100 points)",
                              "", "1; 2", "3; 4"}));
        QVERIFY(f.form().LastStepSucceeded());
        auto& model = f.form().Chart()->Model();
        QCOMPARE(model.Series1.Count(), std::size_t{2});
        QCOMPARE(model.Series1.XValue(1), 3.0);
        QCOMPARE(model.Series1.YValue(1), 4.0);
        QCOMPARE(model.Series1.PointerSize(), 4);
        // Fitted: lo 1, hi 4, a margin of 5 % of the width on both sides, same on both axes.
        const double margin = 3.0 * 0.05;
        QVERIFY(!model.BottomAxis.Automatic());
        QCOMPARE(std::bit_cast<quint64>(model.BottomAxis.Minimum()),
                 std::bit_cast<quint64>(1.0 - margin));
        QCOMPARE(std::bit_cast<quint64>(model.LeftAxis.Maximum()),
                 std::bit_cast<quint64>(4.0 + margin));
    }

    void rawValuesFollowTheLocale_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("line");
        QTest::newRow("point") << QLocale(QLocale::English, QLocale::UnitedStates) << "1500; -0.02";
        QTest::newRow("comma") << QLocale(QLocale::German, QLocale::Germany) << "1500; -0,02";
    }

    void rawValuesFollowTheLocale() {
        QFETCH(QLocale, locale);
        QFETCH(QString, line);
        QLocale::setDefault(locale);
        ShownForm f;
        DataFiles files;
        f.form().OpenFile(files.write("exp.txt", "1.5e3 -2E-2\n"));
        QCOMPARE(f.form().ReportLines().last(), line);
    }

    void pointSizeAndListingCap_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("pointSize");
        QTest::newRow("99 vectors") << 99 << 4;
        QTest::newRow("100 vectors") << 100 << 2;
        QTest::newRow("150 vectors") << 150 << 2;
    }

    void pointSizeAndListingCap() {
        QFETCH(int, count);
        QFETCH(int, pointSize);
        ShownForm f;
        DataFiles files;
        f.form().OpenFile(files.write("many.txt", NumberedVectors(count)));
        const QStringList report = f.form().ReportLines();
        QCOMPARE(report.size(), 5 + std::min(count, 100));
        QCOMPARE(report[2], QStringLiteral("%1 data vectors:").arg(count));
        QCOMPARE(report[3], QStringLiteral("(shown first 100 points)"));
        QCOMPARE(
            report.last(),
            QStringLiteral("%1; %2").arg(std::min(count, 100)).arg(2 * std::min(count, 100) + 1));
        auto& model = f.form().Chart()->Model();
        QCOMPARE(model.Series1.Count(), std::size_t(count));
        QCOMPARE(model.Series1.PointerSize(), pointSize);
        QCOMPARE(model.Series3.PointerSize(), pointSize);
    }

    void fileWithoutVectorsIsNoError() {
        ShownForm f;
        DataFiles files;
        f.form().OpenFile(files.write("a.txt", "1 2\n"));
        auto& model = f.form().Chart()->Model();
        const double fittedMinimum = model.BottomAxis.Minimum();

        MessageBoxAnswerer answerer;
        f.form().OpenFile(files.write("eof.txt", QByteArray("\x1a"
                                                            "1 2\n")));
        QVERIFY(answerer.seen().empty());
        QCOMPARE(f.form().ReportLines(), QStringList({"File: eof.txt", "", "", "", ""}));
        QVERIFY(!f.form().LastStepSucceeded());
        QVERIFY(!f.button("btnNext")->isEnabled());
        QCOMPARE(model.Series1.Count(), std::size_t{0});
        QCOMPARE(model.Series1.PointerSize(), 4);
        // The axes are not fitted: they keep the range they had.
        QCOMPARE(model.BottomAxis.Minimum(), fittedMinimum);
    }
};

QTEST_MAIN(ReadDataSetTest)
#include "tst_read_data_set.moc"
