// The whole walk at scale: opens generated files of 100k, 1M and 10M vectors in the real main
// window (offscreen, pauses skipped) and walks steps 1 -> 6, printing per step the wall time
// of the computation (animation frames included), the cost of one animation frame
// (computation and full redraw: the time between two pauses), the chart's redraw time after
// the step (in step 5 the frame with the projection lines) and the peak resident memory.
//
//   QT_QPA_PLATFORM=offscreen build/release/bench/bench_walk [counts...]
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <random>

#include "chart/view/chart_widget.h"
#include "windows/form1.h"
#include "windows/pause.h"

namespace {

double PeakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

QString WriteDataFile(const QTemporaryDir& dir, long count) {
    const QString path = dir.filePath(QStringLiteral("walk-%1.txt").arg(count));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(path));
    std::mt19937_64 random(42);
    std::normal_distribution<double> along(0.0, 10.0), across(0.0, 2.0);
    QByteArray chunk;
    char line[96];
    for (long i = 0; i < count; ++i) {
        const double a = along(random), b = across(random);
        const int n = std::snprintf(line, sizeof line, "%.17g %.17g\n", 3 + 0.8 * a - 0.6 * b,
                                    -1 + 0.6 * a + 0.8 * b);
        chunk.append(line, n);
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
    // On disk before it is opened, as a student's file is: no write-back runs beside the reading.
    file.flush();
    fsync(file.handle());
    return path;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    std::vector<long> counts;
    for (int i = 1; i < argc; ++i) counts.push_back(std::atol(argv[i]));
    if (counts.empty()) counts = {100'000, 1'000'000, 10'000'000};

    int frames = 0;
    QElapsedTimer clock;
    clock.start();
    qint64 lastPause = 0;
    double frameTotalMs = 0;
    double projectionFrameMs = 0;
    TForm1* current = nullptr;
    morvik::SetPauseFunction([&](int ms) {
        const qint64 now = clock.nsecsElapsed();
        if (ms == 1000) {
            // The frame that shows the projection lines, drawn once more and timed.
            QElapsedTimer redraw;
            redraw.start();
            current->Chart()->repaint();
            projectionFrameMs = redraw.nsecsElapsed() / 1e6;
        } else {
            frameTotalMs += (now - lastPause) / 1e6;
            ++frames;
        }
        lastPause = clock.nsecsElapsed();
    });
    QTemporaryDir dir;
    std::printf("%-10s %-4s %12s %8s %14s %14s %14s\n", "vectors", "step", "step ms", "frames",
                "ms per frame", "redraw ms", "peak RSS MiB");
    std::fflush(stdout);
    for (long count : counts) {
        const QString path = WriteDataFile(dir, count);
        TForm1 form;
        current = &form;
        form.show();
        QApplication::processEvents();
        auto* next = form.findChild<QPushButton*>(QStringLiteral("btnNext"));
        for (int step = 1; step <= 6; ++step) {
            frames = 0;
            frameTotalMs = 0;
            projectionFrameMs = 0;
            lastPause = clock.nsecsElapsed();
            QElapsedTimer timer;
            timer.start();
            if (step == 1) {
                form.OpenFile(path);
            } else {
                next->click();
            }
            const double stepMs = timer.nsecsElapsed() / 1e6;
            timer.restart();
            form.Chart()->repaint();
            const double redrawMs = step == 5 ? projectionFrameMs : timer.nsecsElapsed() / 1e6;
            const double perFrame = frames > 0 ? frameTotalMs / frames : 0.0;
            std::printf("%-10ld %-4d %12.1f %8d %14.1f %14.1f %14.0f\n", count, step, stepMs,
                        frames, perFrame, redrawMs, PeakResidentMiB());
            std::fflush(stdout);
            if (!form.LastStepSucceeded()) {
                std::printf("step %d failed\n", step);
                return 1;
            }
        }
        QFile::remove(path);
    }
    return 0;
}
