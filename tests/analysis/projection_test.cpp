#include "analysis/projection.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace morvik {
namespace {

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

TEST(ProjectionTest, NewValueSumsExtendedProductsWithoutContraction) {
    struct {
        TPCVector PC;
        TVector Z;
        double Expected;
    } const cases[] = {
        // (1 + 2^-52)^2 - 1: the extended product drops 2^-104; a fused multiply-add would
        // keep it.
        {{1 + 0x1p-52, 1}, {1 + 0x1p-52, -1}, 0x1p-51},
        // (1 + 2^-30)^2 - (1 + 2^-29): the 2^-60 survives in extended precision; double
        // products would lose it.
        {{1 + 0x1p-30, 1}, {1 + 0x1p-30, -(1 + 0x1p-29)}, 0x1p-60},
    };
    for (const auto& c : cases) EXPECT_EQ(Bits(NewValue(c.PC, c.Z)), Bits(c.Expected));
}

TEST(ProjectionTest, ProjectionOntoTheXAxisKeepsTheNewValue) {
    const TVector p = ProjectionPoint({1, 0}, -2.5);
    EXPECT_EQ(Bits(p.X), Bits(-2.5));
    EXPECT_EQ(Bits(p.Y), Bits(-0.0));
}

TEST(ProjectionTest, AnimationPositions) {
    struct {
        TVector Z, P;
        int Frame;
        TVector Expected;
    } const cases[] = {
        {{0, 0}, {3, 0}, 1, {0.1, 0}},
        {{0.1, 0.2}, {0.3, 0.7}, 30, {0.3, 0.7}},  // the last frame lands on the projection
        // f * d stored before the addition: unrounded it would end in ...61d.
        {{-0x1p-3, 0}, {0x1.040706fc18e1p+0, 0}, 27, {0x1.cda63fc5c661cp-1, 0}},
        // p - z is stored first and loses p entirely, so even the last frame misses it.
        {{1e20, 0}, {1, 0}, 30, {0, 0}},
    };
    for (const auto& c : cases) {
        const TVector at = AnimationPosition(c.Z, c.P, c.Frame);
        EXPECT_EQ(Bits(at.X), Bits(c.Expected.X)) << std::hexfloat << at.X;
        EXPECT_EQ(Bits(at.Y), Bits(c.Expected.Y)) << std::hexfloat << at.Y;
    }
}

TEST(ProjectionTest, ReportListsTheFirstHundredNewValues) {
    TVectors zeroMean;
    for (int i = 0; i < 150; ++i) ASSERT_TRUE(zeroMean.TryAppend({static_cast<double>(i), 7}));

    const std::vector<std::string> report = PrincipalComponentReport({1, -0.0}, zeroMean, 150);

    ASSERT_EQ(report.size(), 6u + 100u);
    EXPECT_EQ(std::vector<std::string>(report.begin(), report.begin() + 7),
              (std::vector<std::string>{
                  "Principal component:", "red dashed line, vector = (1.000; -0.000)", "",
                  "New data set:", "(shown first 100 points)", "", "0.000"}));
    EXPECT_EQ(report.back(), "99.000");
}

}  // namespace
}  // namespace morvik
