#include "analysis/projection.h"

#include "analysis/number_format.h"

namespace morvik {

// Zero-mean values reaching this step are below about 1.34E154 in magnitude (larger ones
// overflow the covariance), so none of these sums and products can leave the double range.

double NewValue(TPCVector pc, TVector z) {
    return static_cast<double>(static_cast<long double>(pc.x) * z.X +
                               static_cast<long double>(pc.y) * z.Y);
}

TVector ProjectionPoint(TPCVector pc, double t) {
    return {static_cast<double>(static_cast<long double>(pc.x) * t),
            static_cast<double>(static_cast<long double>(pc.y) * t)};
}

TVector AnimationPosition(TVector z, TVector p, int frame) {
    const long double f = static_cast<long double>(frame) / 30.0;
    const double dx = static_cast<double>(static_cast<long double>(p.X) - z.X);
    const double dy = static_cast<double>(static_cast<long double>(p.Y) - z.Y);
    const double stepX = static_cast<double>(f * dx);
    const double stepY = static_cast<double>(f * dy);
    return {static_cast<double>(static_cast<long double>(z.X) + stepX),
            static_cast<double>(static_cast<long double>(z.Y) + stepY)};
}

std::vector<std::string> PrincipalComponentReport(TPCVector pc, const TVectors& zeroMean,
                                                  std::uint32_t count) {
    std::vector<std::string> lines{
        "Principal component:",
        "red dashed line, vector = (" + Fixed3(pc.x) + "; " + Fixed3(pc.y) + ")",
        "",
        "New data set:",
        "(shown first 100 points)",
        ""};
    const std::uint32_t listed = count < 100 ? count : 100;
    for (std::uint32_t i = 0; i < listed; ++i) lines.push_back(Fixed3(NewValue(pc, zeroMean[i])));
    return lines;
}

}  // namespace morvik
