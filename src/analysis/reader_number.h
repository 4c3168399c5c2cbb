#pragma once
// Checks one number of a data file against the number syntax and converts it to the
// correctly rounded double. Private to the data file reader.

#include <charconv>
#include <cstdint>
#include <system_error>

namespace morvik::reader {

// The longest run of non-blank characters that forms one number.
inline constexpr int kMaxNumberLength = 64;

namespace detail {

inline bool IsDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

// Powers of ten that doubles hold exactly.
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Exponents are only compared against the double range, so they saturate far beyond it.
inline constexpr std::int64_t kExponentCap = 100000000;

}  // namespace detail

// Parses [begin, end), a run of 1 to 64 non-blank characters. The syntax: an optional sign;
// digits; optionally "." and digits; optionally "E" or "e", an optional sign and at least one
// digit. Either mantissa run may be empty (a mantissa without digits is 0), a sign alone is
// not a number. A magnitude beyond the double range is invalid; one below it rounds to the
// nearest subnormal or zero. Returns false for an invalid number.
inline bool ParseNumber(const char* begin, const char* end, double& value) {
    using detail::IsDigit;
    const char* s = begin;
    bool negative = false;
    if (*s == '+' || *s == '-') {
        negative = *s == '-';
        ++s;
        if (s == end) return false;
    }
    const char* mantissa = s;

    // The first 19 significant digits go into an integer, so that short numbers can be
    // converted exactly without the general algorithm.
    std::uint64_t digits = 0;
    int significant = 0;
    bool dropped = false;
    std::int64_t scale = 0;  // value ~ digits * 10^(scale + exponent)
    while (s != end && IsDigit(*s)) {
        const unsigned d = static_cast<unsigned>(*s - '0');
        if (significant < 19) {
            if (digits != 0 || d != 0) {
                digits = digits * 10 + d;
                ++significant;
            }
        } else {
            dropped |= d != 0;
            ++scale;
        }
        ++s;
    }
    if (s != end && *s == '.') {
        ++s;
        while (s != end && IsDigit(*s)) {
            const unsigned d = static_cast<unsigned>(*s - '0');
            if (significant < 19) {
                if (digits != 0 || d != 0) {
                    digits = digits * 10 + d;
                    ++significant;
                }
                --scale;
            } else {
                dropped |= d != 0;
            }
            ++s;
        }
    }
    std::int64_t exponent = 0;
    if (s != end && (*s == 'e' || *s == 'E')) {
        ++s;
        bool negativeExponent = false;
        if (s != end && (*s == '+' || *s == '-')) {
            negativeExponent = *s == '-';
            ++s;
        }
        if (s == end) return false;
        while (s != end && IsDigit(*s)) {
            if (exponent < detail::kExponentCap) exponent = exponent * 10 + (*s - '0');
            ++s;
        }
        if (negativeExponent) exponent = -exponent;
    }
    if (s != end) return false;

    if (digits == 0 && !dropped) {  // no digit or only zeros, whatever the exponent
        value = negative ? -0.0 : 0.0;
        return true;
    }

    const std::int64_t power = scale + exponent;
    if (!dropped && digits <= (std::uint64_t{1} << 53) && power >= -22 && power <= 22) {
        // Both operands are exact, so the one IEEE operation rounds correctly.
        const double exact = static_cast<double>(digits);
        const double magnitude = power >= 0 ? exact * detail::kExactPowersOfTen[power]
                                            : exact / detail::kExactPowersOfTen[-power];
        value = negative ? -magnitude : magnitude;
        return true;
    }

    // General case. from_chars sees only the unsigned mantissa and exponent this function has
    // already accepted, so it never decides on words, hex or a leading "+".
    double magnitude = 0;
    const auto [ptr, ec] = std::from_chars(mantissa, end, magnitude, std::chars_format::general);
    if (ptr != end) return false;
    if (ec == std::errc::result_out_of_range) {
        // Out of range either way: an overflow is invalid, an underflow rounds to zero.
        const std::int64_t leadingExponent = power + significant - 1;
        if (leadingExponent > 0) return false;
        magnitude = 0;
    } else if (ec != std::errc{}) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace morvik::reader
