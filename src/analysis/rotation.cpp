#include "analysis/rotation.h"

#include <cmath>

namespace morvik {

double StartAngle(TPCVector pc) {
    if (pc.x == 0) return 90;  // a negative zero compares equal to 0 as well
    const long double quotient = static_cast<long double>(pc.y) / pc.x;
    return static_cast<double>(std::atan(quotient) * 180 / kPi);
}

unsigned FrameCount(double startAngle) {
    return static_cast<unsigned>(std::trunc(std::fabs(static_cast<long double>(startAngle)) / 1.0));
}

double NextAngle(double angle) {
    const long double a = angle;
    return static_cast<double>(angle > 0 ? a - 1.0 : a + 1.0);
}

TRotation RotationFor(double angleDegrees) {
    const long double theta = kPi * angleDegrees / 180;
    return {std::cos(std::fabs(theta)), std::sin(theta)};
}

}  // namespace morvik
