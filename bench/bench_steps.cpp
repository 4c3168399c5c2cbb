// Speed of the arithmetic of steps 2 to 6 on large data sets: steps 2-4 together on 10M
// vectors, and the per-frame point math of the step 5 and step 6 animations on 1M vectors.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "analysis/eigen.h"
#include "analysis/mean_covariance.h"
#include "analysis/projection.h"
#include "analysis/rotation.h"
#include "analysis/vectors.h"
#include "parallel/two_parts.h"

namespace morvik {
namespace {

// Correlated data so that every step takes its usual branch (D > 0, two eigenvectors).
TVectors MakeData(std::uint32_t count) {
    TVectors vectors;
    if (!vectors.TryAllocate(count)) return vectors;
    std::mt19937_64 random(42);
    std::normal_distribution<double> normal(0, 1);
    for (std::uint32_t i = 0; i < count; ++i) {
        const double a = normal(random) * 3 + 10;
        vectors[i] = {a, 0.5 * a + normal(random) - 4};
    }
    return vectors;
}

void BM_Steps2To4(benchmark::State& state) {
    const auto count = static_cast<std::uint32_t>(state.range(0));
    const TVectors vectors = MakeData(count);
    TVectors zeroMean;
    if (vectors.Size() != count || !zeroMean.TryAllocate(count)) {
        state.SkipWithError("out of memory");
        return;
    }
    for (auto _ : state) {
        const TDimensionMeans means = SubtractMeans(vectors, count, zeroMean);
        benchmark::DoNotOptimize(SubtractMeanReport(means, zeroMean, count));
        const TCovMatrix m = ComputeCovarianceMatrix(zeroMean, count);
        benchmark::DoNotOptimize(CovarianceReport(m));
        benchmark::DoNotOptimize(AnalyseEigenvectors(m));
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_Steps2To4)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

void BM_SubtractMeans(benchmark::State& state) {
    const auto count = static_cast<std::uint32_t>(state.range(0));
    const TVectors vectors = MakeData(count);
    TVectors zeroMean;
    if (vectors.Size() != count || !zeroMean.TryAllocate(count)) {
        state.SkipWithError("out of memory");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(SubtractMeans(vectors, count, zeroMean));
}
BENCHMARK(BM_SubtractMeans)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

void BM_ComputeCovarianceMatrix(benchmark::State& state) {
    const auto count = static_cast<std::uint32_t>(state.range(0));
    const TVectors vectors = MakeData(count);
    TVectors zeroMean;
    if (vectors.Size() != count || !zeroMean.TryAllocate(count)) {
        state.SkipWithError("out of memory");
        return;
    }
    SubtractMeans(vectors, count, zeroMean);
    for (auto _ : state) benchmark::DoNotOptimize(ComputeCovarianceMatrix(zeroMean, count));
}
BENCHMARK(BM_ComputeCovarianceMatrix)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// One frame of the step 5 animation: t, p and the interpolated position of every point, on two
// threads as the main window computes it.
void BM_ProjectionAnimationFrame(benchmark::State& state) {
    const auto count = static_cast<std::uint32_t>(state.range(0));
    const TVectors zeroMean = MakeData(count);
    const TPCVector pc{0x1.c9f25c5bfedd9p-1, 0x1.c9f25c5bfedd9p-2};
    TVectors positions;
    if (zeroMean.Size() != count || !positions.TryAllocate(count)) {
        state.SkipWithError("out of memory");
        return;
    }
    int frame = 0;
    for (auto _ : state) {
        frame = frame % kProjectionFrames + 1;
        ForEachHalf(count, [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i) {
                const TVector z = zeroMean[i];
                const TVector p = ProjectionPoint(pc, NewValue(pc, z));
                positions[i] = AnimationPosition(z, p, frame);
            }
        });
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ProjectionAnimationFrame)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// One frame of the step 6 rotation: t and the rotated point of every point.
void BM_RotationFrame(benchmark::State& state) {
    const auto count = static_cast<std::uint32_t>(state.range(0));
    const TVectors zeroMean = MakeData(count);
    const TPCVector pc{0x1.c9f25c5bfedd9p-1, 0x1.c9f25c5bfedd9p-2};
    TVectors positions;
    if (zeroMean.Size() != count || !positions.TryAllocate(count)) {
        state.SkipWithError("out of memory");
        return;
    }
    double angle = StartAngle(pc);
    for (auto _ : state) {
        angle = NextAngle(angle);
        const TRotation rotation = RotationFor(angle);
        ForEachHalf(count, [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i)
                positions[i] = RotatedPoint(rotation, NewValue(pc, zeroMean[i]));
        });
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_RotationFrame)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace morvik

BENCHMARK_MAIN();
