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

// t = pc.x * z.X + pc.y * z.Y, stored as a double.
double NewValue(TPCVector pc, TVector z);
// p = (pc.x * t, pc.y * t), each coordinate stored as a double.
TVector ProjectionPoint(TPCVector pc, double t);
// Position of a point in frame k (1..30) on its way from z to p: z + (k/30) * (p - z), with
// p - z and each product stored as doubles.
TVector AnimationPosition(TVector z, TVector p, int frame);

// The whole step 5 report: six header lines and the first 100 new values.
std::vector<std::string> PrincipalComponentReport(TPCVector pc, const TVectors& zeroMean,
                                                  std::uint32_t count);

}  // namespace morvik
