// Steps 2 to 4 in the window: walking forward and back, re-running a step, a failed
// eigen-analysis, and values too large to compute with.
#include <QTest>

#include "chart/view/chart_widget.h"
#include "support/window_test_support.h"

using namespace morvik::testing;

class AnalysisStepsTest : public QObject {
    Q_OBJECT
  private slots:
    void walkForwardBackAndAgain() {
        ShownForm f;
        DataFiles files;
        f.form().OpenFile(files.write("three.txt", "1 2\n3 4\n5 0\n"));
        QStringList reports[4];
        reports[0] = f.form().ReportLines();
        for (int step = 1; step <= 3; ++step) {
            f.button("btnNext")->click();
            reports[step] = f.form().ReportLines();
        }
        QCOMPARE(reports[1].mid(0, 3),
                 QStringList({"Dimension mean:", "X dimension: 3.000", "Y dimension: 2.000"}));
        QCOMPARE(reports[2].mid(2), QStringList({"2.667    -1.333", "-1.333    2.667"}));
        QCOMPARE(reports[3][2], QStringLiteral("Eigenvalue 1 = 4.000"));
        QVERIFY(f.button("btnNext")->isEnabled());
        const morvik::TPCVector pc = f.form().PrincipalComponent();

        f.button("btnBack")->click();
        QCOMPARE(f.form().ReportLines(), reports[2]);
        QVERIFY(f.button("btnNext")->isEnabled());
        QVERIFY(f.button("btnBack")->isEnabled());
        f.button("btnNext")->click();
        QCOMPARE(f.form().ReportLines(), reports[3]);
        QCOMPARE(f.form().PrincipalComponent().x, pc.x);
        QCOMPARE(f.form().PrincipalComponent().y, pc.y);
        f.button("btnBack")->click();
        f.button("btnBack")->click();
        QCOMPARE(f.form().ReportLines(), reports[1]);
        // Step 2 re-plots the zero-mean points; step 3 leaves them as they are.
        QCOMPARE(f.form().Chart()->Model().Series1.XValue(0), -2.0);
    }

    void failedEigenvectorKeepsNextDisabledUntilBack() {
        ShownForm f;
        DataFiles files;
        f.form().OpenFile(files.write("cross.txt", "1 0\n-1 0\n0 1\n0 -1\n"));
        for (int i = 0; i < 3; ++i) f.button("btnNext")->click();
        QCOMPARE(f.form().ReportLines().mid(5),
                 QStringList({"Calculation problems occured:",
                              "It is not possible to calculate the eigenvector."}));
        QVERIFY(!f.form().LastStepSucceeded());
        QVERIFY(!f.button("btnNext")->isEnabled());
        QVERIFY(f.button("btnBack")->isEnabled());
        f.button("btnBack")->click();
        QVERIFY(f.button("btnNext")->isEnabled());
    }

    // Zero-mean values near 1e200 overflow the covariance: an error box in words a student
    // understands, no "inf" in the report, no busy display left, and a usable window.
    void valuesTooLargeToComputeWith() {
        ShownForm f;
        DataFiles files;
        f.form().OpenFile(files.write("huge.txt", "1e200 -1e200\n-1e200 1e200\n3e200 2e200\n"));
        f.button("btnNext")->click();
        QVERIFY(f.form().LastStepSucceeded());
        MessageBoxAnswerer answerer;
        f.button("btnNext")->click();
        QCOMPARE(answerer.seen().size(), std::size_t{1});
        QCOMPARE(answerer.seen()[0].icon, QMessageBox::Critical);
        QVERIFY(answerer.seen()[0].text.contains(QStringLiteral("too large to compute with")));
        QVERIFY(
            !f.form().ReportLines().join(' ').contains(QStringLiteral("inf"), Qt::CaseInsensitive));
        QVERIFY(
            !f.form().ReportLines().join(' ').contains(QStringLiteral("nan"), Qt::CaseInsensitive));
        QVERIFY(!f.label("lblProcessInfo")->isVisible());
        QVERIFY(f.control<QWidget>("memoCalcBox")->isVisible());
        QVERIFY(!f.button("btnNext")->isEnabled());
        QVERIFY(!f.form().EndRequested());
        // Still usable: back to step 2 works as before.
        f.button("btnBack")->click();
        QCOMPARE(f.form().CurrentStep(), 1);
        QVERIFY(f.form().LastStepSucceeded());
        QVERIFY(f.button("btnNext")->isEnabled());
    }
};

QTEST_MAIN(AnalysisStepsTest)
#include "tst_analysis_steps.moc"
