#pragma once
// The two number formats of the report.

#include <string>
#include <string_view>

namespace morvik {

// Every computed number: fixed point with three decimals and "." whatever the locale,
// rounded half away from zero on the exact binary value, "-" before every negative value
// (negative zero included), and the exponent form " 1.3E+0036" from 2^120 on.
std::string Fixed3(double value);

// The values listed in step 1: 15 significant digits, trailing zeros dropped, fixed notation
// for rounded magnitudes in [0.0001, 1E15), scientific ("1E-5", "1.23456789012346E17")
// otherwise, with the given decimal separator (the user's locale's, UTF-8).
std::string RawValue(double value, std::string_view decimalSeparator = ".");

}  // namespace morvik
