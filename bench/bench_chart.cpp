// Chart drawing and filling speed: full redraws at 500 x 500 and adding points out of order.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWindow>
#include <array>
#include <random>

#include "chart/model/stable_order.h"
#include "chart/view/chart_widget.h"

using morvik::chart::ChartModel;
using morvik::chart::ChartWidget;

namespace {

// Points spread over the plot like a data set: a correlated cloud.
void FillCloud(morvik::chart::ChartSeries& series, std::size_t count, unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> d(0, 1);
    series.Reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double a = d(rng), b = d(rng);
        series.AddXY(a, 0.6 * a + 0.4 * b);
    }
}

struct Chart {
    ChartWidget widget;
    Chart() {
        widget.resize(500, 500);
        widget.show();
        // repaint() draws only once the window is exposed.
        for (int i = 0; i < 100 && !(widget.windowHandle() && widget.windowHandle()->isExposed());
             ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ChartModel& m = widget.Model();
        m.Series2.SetActive(false);
        m.Series3.SetActive(false);
        m.Series4.SetActive(false);
    }
    void Redraw(benchmark::State& state) {
        int paints = 0;
        QObject::connect(&widget, &ChartWidget::repainted, [&paints] { ++paints; });
        for (auto _ : state) {
            widget.Model().Series1.ValuesChanged();  // as an animation frame does
            widget.repaint();
        }
        if (paints < state.iterations()) state.SkipWithError("the widget did not paint");
    }
};

void BM_RedrawDataPoints(benchmark::State& state) {
    Chart chart;
    ChartModel& m = chart.widget.Model();
    FillCloud(m.Series1, static_cast<std::size_t>(state.range(0)), 1);
    SetPointSize(m, static_cast<int>(state.range(1)));
    chart.Redraw(state);
}
BENCHMARK(BM_RedrawDataPoints)
    ->ArgsProduct({{10'000, 100'000, 1'000'000}, {2, 4}})
    ->ArgNames({"points", "size"})
    ->Unit(benchmark::kMillisecond);

// An animation frame of the projection step: data points and projection points, with the
// principal component line, on fixed ranges.
void BM_RedrawDataAndProjectionPoints(benchmark::State& state) {
    Chart chart;
    ChartModel& m = chart.widget.Model();
    FillCloud(m.Series1, 1'000'000, 1);
    FillCloud(m.Series3, 1'000'000, 2);
    SetPointSize(m, static_cast<int>(state.range(0)));
    m.Series2.SetActive(true);
    m.Series3.SetActive(true);
    FitAxes(m);
    DrawPrincipalComponent(m, 0.8, 0.6);
    chart.Redraw(state);
}
BENCHMARK(BM_RedrawDataAndProjectionPoints)
    ->Arg(2)
    ->Arg(4)
    ->ArgName("size")
    ->Unit(benchmark::kMillisecond);

// Projection lines: from each data point to its projection on the line along (0.8, 0.6).
void BM_RedrawArrows(benchmark::State& state) {
    Chart chart;
    ChartModel& m = chart.widget.Model();
    std::mt19937 rng(3);
    std::normal_distribution<double> d(0, 1);
    m.Series4.Reserve(1'000'000);
    for (int i = 0; i < 1'000'000; ++i) {
        const double x = d(rng), y = 0.6 * x + 0.4 * d(rng);
        const double t = 0.8 * x + 0.6 * y;
        m.Series4.AddArrow(x, y, 0.8 * t, 0.6 * t);
    }
    m.Series1.SetActive(false);
    m.Series4.SetActive(true);
    chart.Redraw(state);
}
BENCHMARK(BM_RedrawArrows)->Unit(benchmark::kMillisecond);

void BM_AddPointsInRandomOrder(benchmark::State& state) {
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> d(-1, 1);
    std::vector<double> xs(static_cast<std::size_t>(state.range(0)));
    for (double& x : xs) x = d(rng);
    for (auto _ : state) {
        ChartModel model;
        for (double x : xs) model.Series1.AddXY(x, x);
        benchmark::DoNotOptimize(model.Series1.XValue(0));  // places the points
    }
}
BENCHMARK(BM_AddPointsInRandomOrder)
    ->Arg(1'000'000)
    ->ArgName("points")
    ->Unit(benchmark::kMillisecond);

// A data set's points added in one call, as the steps add them: one sorting pass from the data
// straight into an empty series. The series is new each time, as on opening a file.
void BM_AddPointsInBulk(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    std::mt19937 rng(6);
    std::normal_distribution<double> d(3, 10);
    std::vector<std::array<double, 2>> data(n);
    for (auto& point : data) point = {d(rng), d(rng)};
    const morvik::chart::PointSource<2> source = [&](std::size_t first, std::size_t count,
                                                     const std::array<double*, 2>& out) {
        for (std::size_t k = 0; k < count; ++k) {
            out[0][k] = data[first + k][0];
            out[1][k] = data[first + k][1];
        }
    };
    for (auto _ : state) {
        ChartModel model;
        model.Series1.AddXYs(n, source);
        benchmark::DoNotOptimize(model.Series1.XValue(0));
    }
}
BENCHMARK(BM_AddPointsInBulk)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->ArgName("points")
    ->Unit(benchmark::kMillisecond);

// The sort alone, as the first read after out-of-order adds runs it: points of a data set (a
// normal cloud around a few units), fresh copies each time.
void BM_StableSortByX(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    std::mt19937 rng(5);
    std::normal_distribution<double> d(3, 10);
    std::vector<double> xs(n), ys(n);
    for (std::size_t i = 0; i < n; ++i) {
        xs[i] = d(rng);
        ys[i] = d(rng);
    }
    std::vector<double> x(n), y(n);
    for (auto _ : state) {
        state.PauseTiming();
        x = xs;
        y = ys;
        state.ResumeTiming();
        morvik::chart::StableSortByX(x, y);
        benchmark::DoNotOptimize(x.data());
    }
}
BENCHMARK(BM_StableSortByX)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->ArgName("points")
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
