#include "analysis/mean_covariance.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <vector>

#include "analysis/numeric_error.h"

namespace morvik {
namespace {

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

TVectors MakeVectors(const std::vector<TVector>& data) {
    TVectors vectors;
    for (const TVector& v : data) EXPECT_TRUE(vectors.TryAppend(v));
    return vectors;
}

TEST(MeanCovarianceTest, RunningSumIsRoundedThroughExtendedPrecision) {
    // 1 + (2^-53 + 2^-105) rounds to 1 + 2^-53 in extended precision and then, a tie, to 1 as
    // a double; a plain double addition would give 1 + 2^-52.
    const TVectors vectors = MakeVectors({{1, 0}, {0x1p-53 + 0x1p-105, 0}});
    TVectors zeroMean;
    ASSERT_TRUE(zeroMean.TryAllocate(2));

    const TDimensionMeans means = SubtractMeans(vectors, 2, zeroMean);

    EXPECT_EQ(Bits(means.X), Bits(0.5));
    EXPECT_EQ(Bits(zeroMean[0].X), Bits(0.5));
}

TEST(MeanCovarianceTest, EmptyDataGivesZeroMeansAndMatrixWithoutDividing) {
    const TVectors vectors;
    TVectors zeroMean;
    const TDimensionMeans means = SubtractMeans(vectors, 0, zeroMean);
    const TCovMatrix m = ComputeCovarianceMatrix(zeroMean, 0);

    for (double v : {means.X, means.Y, m.c11, m.c12, m.c21, m.c22}) EXPECT_EQ(Bits(v), 0u);
}

TEST(MeanCovarianceTest, C21IsABitCopyOfC12) {
    const TVectors vectors = MakeVectors({{0.1, -0.3}, {0.7, 0.2}, {-1.9, 0.05}});
    TVectors zeroMean;
    ASSERT_TRUE(zeroMean.TryAllocate(3));
    SubtractMeans(vectors, 3, zeroMean);

    const TCovMatrix m = ComputeCovarianceMatrix(zeroMean, 3);

    EXPECT_EQ(Bits(m.c21), Bits(m.c12));
}

TEST(MeanCovarianceTest, OverflowingMeansThrowInsteadOfStoringInfinities) {
    const std::vector<TVector> cases[] = {
        {{1e308, 0}, {1e308, 0}},
        {{0, -1e308}, {0, -1e308}},
        // The sum stays finite, but 1.7E308 less the mean -5.7E307 does not.
        {{1.7e308, 0}, {-1.7e308, 0}, {-1.7e308, 0}},
    };
    for (const std::vector<TVector>& data : cases) {
        const auto count = static_cast<std::uint32_t>(data.size());
        const TVectors vectors = MakeVectors(data);
        TVectors zeroMean;
        ASSERT_TRUE(zeroMean.TryAllocate(count));
        EXPECT_THROW(SubtractMeans(vectors, count, zeroMean), NumericError);
    }
}

TEST(MeanCovarianceTest, OverflowingCovarianceThrowsInsteadOfStoringInfinities) {
    const TVectors vectors = MakeVectors({{1e200, 0}, {-1e200, 0}});
    TVectors zeroMean;
    ASSERT_TRUE(zeroMean.TryAllocate(2));
    SubtractMeans(vectors, 2, zeroMean);

    EXPECT_THROW(ComputeCovarianceMatrix(zeroMean, 2), NumericError);
}

}  // namespace
}  // namespace morvik
