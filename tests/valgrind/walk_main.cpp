// One whole walk through the program, for memory checkers: open a data file through the open
// dialog, steps 1 to 6 (hiding and showing the projection lines in step 5), back to 5 and on
// to 6 again, zoom, scroll and restore the chart, save the report and the chart through their
// dialogs into a temporary folder, close. The animation pauses are skipped. Exits 0 when
// every step did what it should, 1 otherwise.
//
// Usage: walk_main <data file>
#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "chart/view/chart_widget.h"
#include "support/window_test_support.h"

using namespace morvik::testing;

namespace {

bool Check(bool condition, const char* what) {
    if (!condition) std::fprintf(stderr, "walk failed: %s\n", what);
    return condition;
}

void Drag(QWidget* widget, Qt::MouseButton button, QPoint from, QPoint to) {
    QTest::mousePress(widget, button, {}, from);
    QTest::mouseMove(widget, to);
    QTest::mouseRelease(widget, button, {}, to);
}

// A zoom towards the lower right, a scroll, and the drag back that restores the ranges.
void ZoomScrollRestore(morvik::chart::ChartWidget* chart) {
    const QRect plot = chart->PlotRect();
    if (plot.isEmpty()) return;
    const QPoint c = plot.center();
    Drag(chart, Qt::LeftButton, c - QPoint(20, 20), c + QPoint(20, 20));
    Drag(chart, Qt::RightButton, c, c + QPoint(15, 10));
    Drag(chart, Qt::LeftButton, c, c - QPoint(20, 20));
    QApplication::processEvents();
}

bool Walk(const QString& dataFile) {
    ShownForm f;
    const morvik::PauseFunction sleep = morvik::SetPauseFunction([](int) {});
    QPushButton* next = f.button("btnNext");
    QPushButton* back = f.button("btnBack");
    bool ok = true;
    {
        FileDialogAnswerer answerer(dataFile);
        f.button("btnData")->click();
        ok &= Check(answerer.answered(), "the open dialog was not shown");
    }
    ok &= Check(f.form().LastStepSucceeded(), "step 1");
    for (int step = 2; ok && step <= 6; ++step) {
        next->click();
        QApplication::processEvents();
        ok &= Check(f.form().CurrentStep() + 1 == step && f.form().LastStepSucceeded(),
                    "a step forward");
        if (step == 5) {
            auto* lines = f.control<QAbstractButton>("chbxShowProjectionLines");
            ok &= Check(lines != nullptr, "no projection lines check box");
            if (!ok) return false;
            lines->click();
            lines->click();
            QApplication::processEvents();
        }
    }
    if (!ok) return false;
    const QStringList step6 = f.form().ReportLines();
    back->click();
    QApplication::processEvents();
    ok &= Check(f.form().CurrentStep() == 4, "back to step 5");
    next->click();
    QApplication::processEvents();
    ok &= Check(f.form().ReportLines() == step6, "step 6 again");
    ZoomScrollRestore(f.form().Chart());

    const QTemporaryDir outputDir;
    const QString report = outputDir.filePath(QStringLiteral("report.txt"));
    const QString chart = outputDir.filePath(QStringLiteral("chart.bmp"));
    {
        FileDialogAnswerer answerer(report);
        f.button("btnSaveCalc")->click();
    }
    {
        FileDialogAnswerer answerer(chart);
        f.button("btnSaveGraph")->click();
    }
    ok &= Check(QFileInfo(report).size() > 0, "the report was not saved");
    ok &= Check(QFileInfo(chart).size() > 0, "the chart was not saved");
    morvik::SetPauseFunction(sleep);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: walk_main <data file>\n");
        return 2;
    }
    return Walk(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath()) ? 0 : 1;
}
