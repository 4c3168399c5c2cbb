#pragma once
// Step 6: turning the projection points about the origin onto the X axis, one degree a frame.

#include "analysis/eigen.h"
#include "analysis/vectors.h"

namespace morvik {

// The extended-precision pi the degree/radian conversions use.
constexpr long double kPi = 3.1415926535897932385L;

// Direction of pc in degrees, -90..90 (90 when pc.x is zero, negative zero included).
double StartAngle(TPCVector pc);
// Number of one-degree frames: trunc(|a0| / 1.0).
unsigned FrameCount(double startAngle);
// The angle one degree closer to zero (a - 1 when a > 0, otherwise a + 1).
double NextAngle(double angle);

struct TRotation {
    long double CosAbs;  // cos(|theta|)
    long double Sin;     // sin(theta)
};
// theta = pi * a / 180 in extended precision.
TRotation RotationFor(double angleDegrees);
// (cos|theta| * t, sin(theta) * t), each product stored as a double.
inline TVector RotatedPoint(const TRotation& r, double t) {
    return {static_cast<double>(r.CosAbs * t), static_cast<double>(r.Sin * t)};
}

}  // namespace morvik
