#pragma once
// Values are computed in extended precision (long double, 64-bit significand) and rounded to
// double only where they are stored. A stored value beyond the double range becomes an error,
// never an infinity in the report or the chart.

#include <cmath>

#include "analysis/numeric_error.h"

namespace morvik {

// Rounds an extended-precision result to the double it is stored as; throws NumericError when
// it does not fit (the long double range itself cannot be exceeded by sums and products of
// doubles).
inline double StoreChecked(long double value) {
    const double stored = static_cast<double>(value);
    if (!std::isfinite(stored)) throw NumericError();
    return stored;
}

inline void ThrowIfNotFinite(double value) {
    if (!std::isfinite(value)) throw NumericError();
}

}  // namespace morvik
