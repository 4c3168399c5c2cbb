#pragma once
// Steps 2 and 3: dimension means, zero-mean vectors and the population covariance matrix.
// Evaluated in extended precision, rounded to double where a value is stored.

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/vectors.h"

namespace morvik {

struct TDimensionMeans {
    double X = 0;
    double Y = 0;
};

struct TCovMatrix {
    double c11 = 0, c12 = 0, c21 = 0, c22 = 0;
};

// Computes the means of vectors[0..count) and writes vectors less the means into zeroMean,
// which must already hold count elements. Throws NumericError on overflow.
TDimensionMeans SubtractMeans(const TVectors& vectors, std::uint32_t count, TVectors& zeroMean);

// The whole step 2 report (means, header lines, the first 100 zero-mean vectors).
std::vector<std::string> SubtractMeanReport(const TDimensionMeans& means, const TVectors& zeroMean,
                                            std::uint32_t count);

// Population covariance (divisor count) of zeroMean[0..count). Throws NumericError on overflow.
TCovMatrix ComputeCovarianceMatrix(const TVectors& zeroMean, std::uint32_t count);

// The whole step 3 report.
std::vector<std::string> CovarianceReport(const TCovMatrix& m);

}  // namespace morvik
