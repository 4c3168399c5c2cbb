#include "analysis/mean_covariance.h"

#include <cmath>

#include "analysis/extended_store.h"
#include "analysis/number_format.h"

namespace morvik {

namespace {

constexpr std::uint32_t kListedVectors = 100;

// sum / count with the count converted exactly; a count of 0 gives 0 without a division.
double MeanOf(double sum, std::uint32_t count) {
    if (count == 0) return 0;
    return static_cast<double>(static_cast<long double>(sum) / count);
}

// Component sums of vectors[0..count), each running sum stored as a double after every
// addition of the extended-precision sum. The X and Y sums are independent, so one pass
// builds both. An overflowed running sum stays infinite to the end, so one check after the
// loop suffices.
//
// Speed: the stored sum is the double rounding of the exact sum (to 64 bits, then to 53),
// which can differ from a plain double addition; but it rarely does. So the loop carries the
// plain double sum, whose short latency sets the pace, computes the stored value exactly
// beside it, and takes the exact value whenever the two differ. The result is the exact one
// for every element; the rarely taken branch only keeps the slow path out of the chain.
TVector RunningSums(const TVector* vectors, std::uint32_t count) {
    double sumX = 0;
    double sumY = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const double x = vectors[i].X;
        const double y = vectors[i].Y;
        const double storedX = static_cast<double>(static_cast<long double>(sumX) + x);
        const double storedY = static_cast<double>(static_cast<long double>(sumY) + y);
        const double plainX = sumX + x;
        const double plainY = sumY + y;
        if (plainX != storedX || plainY != storedY) [[unlikely]] {
            sumX = storedX;
            sumY = storedY;
        } else {
            sumX = plainX;
            sumY = plainY;
        }
    }
    ThrowIfNotFinite(sumX);
    ThrowIfNotFinite(sumY);
    return {sumX, sumY};
}

}  // namespace

TDimensionMeans SubtractMeans(const TVectors& vectors, std::uint32_t count, TVectors& zeroMean) {
    const TVector sums = RunningSums(vectors.begin(), count);
    const TDimensionMeans means{MeanOf(sums.X, count), MeanOf(sums.Y, count)};
    const long double meanX = means.X;
    const long double meanY = means.Y;
    const TVector* in = vectors.begin();
    TVector* out = zeroMean.begin();
    // A difference can exceed the double range although the sum did not (values near the
    // limit with a large mean of the opposite sign); collect that without a branch per vector.
    bool allFinite = true;
    for (std::uint32_t i = 0; i < count; ++i) {
        const double x = static_cast<double>(in[i].X - meanX);
        const double y = static_cast<double>(in[i].Y - meanY);
        out[i].X = x;
        out[i].Y = y;
        allFinite &= std::isfinite(x) & std::isfinite(y);
    }
    if (!allFinite) throw NumericError();
    return means;
}

std::vector<std::string> SubtractMeanReport(const TDimensionMeans& means, const TVectors& zeroMean,
                                            std::uint32_t count) {
    std::vector<std::string> lines{"Dimension mean:",
                                   "X dimension: " + Fixed3(means.X),
                                   "Y dimension: " + Fixed3(means.Y),
                                   "",
                                   "Data set with zero mean:",
                                   "(shown first 100 points)",
                                   ""};
    const std::uint32_t listed = count < kListedVectors ? count : kListedVectors;
    for (std::uint32_t i = 0; i < listed; ++i) {
        lines.push_back(Fixed3(zeroMean[i].X) + "; " + Fixed3(zeroMean[i].Y));
    }
    return lines;
}

TCovMatrix ComputeCovarianceMatrix(const TVectors& zeroMean, std::uint32_t count) {
    const TVector* z = zeroMean.begin();
    const TVector sums = RunningSums(z, count);
    const long double meanX = MeanOf(sums.X, count);
    const long double meanY = MeanOf(sums.Y, count);
    double c11 = 0;
    double c12 = 0;
    double c22 = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const long double dx = z[i].X - meanX;
        const long double dy = z[i].Y - meanY;
        c11 = static_cast<double>(dx * dx + c11);
        c12 = static_cast<double>(dx * dy + c12);
        c22 = static_cast<double>(dy * dy + c22);
    }
    // Squares are never negative and no product of finite doubles overflows in extended
    // precision, so an entry that overflowed is still infinite here.
    ThrowIfNotFinite(c11);
    ThrowIfNotFinite(c12);
    ThrowIfNotFinite(c22);
    TCovMatrix m;
    m.c11 = c11;
    m.c12 = c12;
    m.c22 = c22;
    if (count > 0) {
        // Population covariance: the divisor is n, not n - 1.
        m.c11 = static_cast<double>(static_cast<long double>(c11) / count);
        m.c12 = static_cast<double>(static_cast<long double>(c12) / count);
        m.c22 = static_cast<double>(static_cast<long double>(c22) / count);
    }
    m.c21 = m.c12;
    return m;
}

std::vector<std::string> CovarianceReport(const TCovMatrix& m) {
    return {"Covariance matrix:", "", Fixed3(m.c11) + "    " + Fixed3(m.c12),
            Fixed3(m.c21) + "    " + Fixed3(m.c22)};
}

}  // namespace morvik
