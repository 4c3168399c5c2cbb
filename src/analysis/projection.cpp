#include "analysis/projection.h"

#include "analysis/number_format.h"

namespace morvik {

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
