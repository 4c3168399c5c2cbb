#include "analysis/rotation.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

namespace morvik {
namespace {

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

TPCVector UnitAt(double degrees) {
    const double radians = degrees * 3.141592653589793 / 180;
    return {std::cos(radians), std::sin(radians)};
}

TEST(RotationTest, StartAngleAndFrameCount) {
    struct {
        const char* Name;
        TPCVector PC;
        double Angle;
        unsigned Frames;
    } const cases[] = {
        {"XAxis", {1, 0}, 0, 0},
        {"YAxis", {0, 1}, 90, 90},
        {"YAxisNegativeZeroX", {-0.0, 1}, 90, 90},
        {"Diagonal", {0x1.6a09e667f3bccp-1, 0x1.6a09e667f3bccp-1}, 45, 45},
        {"BelowOneDegree", {0.99997, 0.007}, 0.40107593785179779, 0},
        {"Fractional", UnitAt(30.7), 30.699999999999992, 30},
        {"FractionalNegative", UnitAt(-30.7), -30.699999999999992, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const double a0 = StartAngle(c.PC);
        EXPECT_EQ(Bits(a0), Bits(c.Angle)) << std::hexfloat << a0;
        EXPECT_EQ(FrameCount(a0), c.Frames);
    }
}

TEST(RotationTest, AnglesStepOneDegreeTowardZero) {
    for (double a0 : {90.0, 30.699999999999992, -30.699999999999992}) {
        double a = a0;
        for (unsigned frame = FrameCount(a0); frame > 0; --frame) a = NextAngle(a);
        // Removing whole degrees is exact, so the last frame shows the fractional remainder.
        EXPECT_EQ(Bits(a), Bits(a0 - std::trunc(a0))) << a0;
    }
}

TEST(RotationTest, RotationUsesTheCosineOfTheAbsoluteAngle) {
    const TRotation up = RotationFor(30.7);
    const TRotation down = RotationFor(-30.7);
    EXPECT_EQ(up.CosAbs, down.CosAbs);
    EXPECT_EQ(up.Sin, -down.Sin);

    const TVector onAxis = RotatedPoint(RotationFor(0), -2.5);
    EXPECT_EQ(Bits(onAxis.X), Bits(-2.5));
    EXPECT_EQ(Bits(onAxis.Y), Bits(-0.0));
}

}  // namespace
}  // namespace morvik
