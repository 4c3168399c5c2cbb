#pragma once
// Step 5: new values along the principal component, projection points and the straight
// paths of the projection animation.

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/eigen.h"
#include "analysis/vectors.h"

namespace morvik {

constexpr int kProjectionFrames = 30;

// Zero-mean values reaching this step are below about 1.34E154 in magnitude (larger ones
// overflow the covariance), so none of these sums and products can leave the double range.
// Inline: the animation evaluates them for every point in every frame.

// t = pc.x * z.X + pc.y * z.Y, stored as a double.
inline double NewValue(TPCVector pc, TVector z) {
    return static_cast<double>(static_cast<long double>(pc.x) * z.X +
                               static_cast<long double>(pc.y) * z.Y);
}

// p = (pc.x * t, pc.y * t), each coordinate stored as a double.
inline TVector ProjectionPoint(TPCVector pc, double t) {
    return {static_cast<double>(static_cast<long double>(pc.x) * t),
            static_cast<double>(static_cast<long double>(pc.y) * t)};
}

// Position of a point in frame k (1..30) on its way from z to p: z + (k/30) * (p - z), with
// p - z and each product stored as doubles; k / 30 is formed from the integer and 30.0.
inline TVector AnimationPosition(TVector z, TVector p, int frame) {
    const long double f = static_cast<long double>(frame) / 30.0;
    const double dx = static_cast<double>(static_cast<long double>(p.X) - z.X);
    const double dy = static_cast<double>(static_cast<long double>(p.Y) - z.Y);
    const double stepX = static_cast<double>(f * dx);
    const double stepY = static_cast<double>(f * dy);
    return {static_cast<double>(static_cast<long double>(z.X) + stepX),
            static_cast<double>(static_cast<long double>(z.Y) + stepY)};
}

// The whole step 5 report: six header lines and the first 100 new values.
std::vector<std::string> PrincipalComponentReport(TPCVector pc, const TVectors& zeroMean,
                                                  std::uint32_t count);

}  // namespace morvik
