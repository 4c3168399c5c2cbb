#pragma once
// Checks one number of a data file against the number syntax and converts it to the
// correctly rounded double. Private to the data file reader.

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

namespace morvik::reader {

// The longest run of non-blank characters that forms one number.
inline constexpr int kMaxNumberLength = 64;

static_assert(std::numeric_limits<long double>::digits == 64,
              "the fast conversion needs x87 extended precision");

namespace detail {

inline bool IsDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

// Powers of ten that doubles hold exactly.
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Powers of ten that x87 extended precision (64-bit significand) holds exactly: 5^27 < 2^64.
inline constexpr long double kExactExtendedPowersOfTen[] = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,
    1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L,
    1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};

// 10^-k rounded to extended precision, for k = 0..27.
inline constexpr long double kNearestExtendedNegativePowersOfTen[] = {
    1e-0L,  1e-1L,  1e-2L,  1e-3L,  1e-4L,  1e-5L,  1e-6L,  1e-7L,  1e-8L,  1e-9L,
    1e-10L, 1e-11L, 1e-12L, 1e-13L, 1e-14L, 1e-15L, 1e-16L, 1e-17L, 1e-18L, 1e-19L,
    1e-20L, 1e-21L, 1e-22L, 1e-23L, 1e-24L, 1e-25L, 1e-26L, 1e-27L};

// Whether a normal extended value lies within margin units of its last place from a halfway
// point between two doubles, that is whether its 11 bits beyond double precision are within
// margin of 10000000000.
inline bool NearHalfway(long double extended, unsigned margin) {
    std::uint64_t significand;
    std::memcpy(&significand, &extended, sizeof significand);
    const unsigned extra = static_cast<unsigned>(significand & 0x7FF);
    return extra - (0x400 - margin) <= 2 * margin;
}

inline bool Store(long double extended, bool negative, double& value) {
    const double magnitude = static_cast<double>(extended);
    value = negative ? -magnitude : magnitude;
    return true;
}

// When the 8 bytes at s are all digits, appends them to digits, advances s and returns 8;
// otherwise returns 0. Eight digits at once keep long mantissas cheap.
inline int TakeEightDigits(const char*& s, std::uint64_t& digits) {
    std::uint64_t chunk;
    std::memcpy(&chunk, s, sizeof chunk);
    // Every byte 0x30..0x39: high nibble 3, and adding 6 must not carry into it.
    if ((((chunk & 0xF0F0F0F0F0F0F0F0) |
          (((chunk + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) >> 4)) != 0x3333333333333333)) {
        return 0;
    }
    // The first digit is the lowest byte: pairs, then quadruples, then all eight.
    chunk -= 0x3030303030303030;
    chunk = (chunk * 10) + (chunk >> 8);
    chunk = (((chunk & 0x000000FF000000FF) * (100 + (1000000ULL << 32))) +
             (((chunk >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32)))) >>
            32;
    digits = digits * 100000000 + static_cast<std::uint32_t>(chunk);
    s += 8;
    return 8;
}

// Exponents are only compared against the double range, so they saturate far beyond it.
inline constexpr std::int64_t kExponentCap = 100000000;

}  // namespace detail

// Reads the number that starts at s and ends at limit or at the first character that cannot
// continue it; s is left there. The syntax: an optional sign; digits; optionally "." and
// digits; optionally "E" or "e", an optional sign and at least one digit. Either mantissa run
// may be empty (a mantissa without digits is 0), a sign alone is not a number. A magnitude
// beyond the double range is invalid; one below it rounds to the nearest subnormal or zero.
// Returns false when what was read is not a number. The caller decides whether the character
// at s (if s != limit) may end the number.
inline bool ReadNumberPrefix(const char*& s, const char* limit, double& value) {
    using detail::IsDigit;
    const char* const start = s;
    bool negative = false;
    if (*s == '+' || *s == '-') {
        negative = *s == '-';
        ++s;
    }
    const char* const mantissa = s;

    // The first 19 significant digits go into an integer, so that most numbers convert
    // exactly without the general algorithm.
    std::uint64_t digits = 0;
    int significant = 0;
    bool dropped = false;    // a nonzero digit beyond the first 19 significant ones
    std::int64_t scale = 0;  // value ~ digits * 10^(scale + exponent)
    while (s != limit && *s == '0') ++s;
    while (significant <= 11 && limit - s >= 8) {
        const int taken = detail::TakeEightDigits(s, digits);
        if (taken == 0) break;
        significant += taken;
    }
    while (s != limit && IsDigit(*s)) {
        if (significant < 19) {
            digits = digits * 10 + static_cast<unsigned>(*s - '0');
            ++significant;
        } else {
            dropped |= *s != '0';
            ++scale;
        }
        ++s;
    }
    if (s != limit && *s == '.') {
        ++s;
        if (significant == 0) {
            for (; s != limit && *s == '0'; ++s) --scale;
        }
        while (significant <= 11 && limit - s >= 8) {
            const int taken = detail::TakeEightDigits(s, digits);
            if (taken == 0) break;
            significant += taken;
            scale -= taken;
        }
        while (s != limit && IsDigit(*s)) {
            if (significant < 19) {
                digits = digits * 10 + static_cast<unsigned>(*s - '0');
                ++significant;
                --scale;
            } else {
                dropped |= *s != '0';
            }
            ++s;
        }
    }
    std::int64_t exponent = 0;
    if (s != limit && (*s == 'e' || *s == 'E')) {
        ++s;
        bool negativeExponent = false;
        if (s != limit && (*s == '+' || *s == '-')) {
            negativeExponent = *s == '-';
            ++s;
        }
        if (s == limit || !IsDigit(*s)) return false;
        for (; s != limit && IsDigit(*s); ++s) {
            if (exponent < detail::kExponentCap) exponent = exponent * 10 + (*s - '0');
        }
        if (negativeExponent) exponent = -exponent;
    }
    if (s == mantissa && mantissa != start) return false;  // a sign alone

    if (digits == 0) {  // no digit or only zeros, whatever the exponent
        value = negative ? -0.0 : 0.0;
        return true;
    }

    const std::int64_t power = scale + exponent;
    if (!dropped && power >= -27 && power <= 27) {
        if (digits <= (std::uint64_t{1} << 53) && power >= -22 && power <= 22) {
            // Both operands are exact, so the one IEEE operation rounds correctly.
            const double exactDouble = static_cast<double>(digits);
            const double magnitude = power >= 0 ? exactDouble * detail::kExactPowersOfTen[power]
                                                : exactDouble / detail::kExactPowersOfTen[-power];
            value = negative ? -magnitude : magnitude;
            return true;
        }
        const long double exact = static_cast<long double>(digits);
        if (power < 0) {
            // A multiplication by the nearest extended reciprocal is much faster than an
            // extended division. It lands within 4 extended units (2^-63 relative) of the exact
            // quotient, so unless it lies that close to a halfway point between doubles it
            // rounds to the same double as the quotient.
            const long double product = exact * detail::kNearestExtendedNegativePowersOfTen[-power];
            if (!detail::NearHalfway(product, 8)) return detail::Store(product, negative, value);
        }
        // Up to 19 digits: one extended-precision operation on exact operands, then a second
        // rounding to double. The second rounding is wrong only if the extended result lies
        // exactly on a halfway point between two doubles; any other result rounds like the
        // exact value, being nearer to it than any halfway point.
        const long double extended = power >= 0 ? exact * detail::kExactExtendedPowersOfTen[power]
                                                : exact / detail::kExactExtendedPowersOfTen[-power];
        if (!detail::NearHalfway(extended, 0)) return detail::Store(extended, negative, value);
    }

    // General case. from_chars sees only the unsigned mantissa and exponent accepted above,
    // so it never decides on words, hex or a leading "+".
    double magnitude = 0;
    const auto [ptr, ec] = std::from_chars(mantissa, s, magnitude, std::chars_format::general);
    if (ptr != s) return false;
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

// Parses [begin, end), a whole run of 1 to 64 non-blank characters; false for an invalid
// number.
inline bool ParseNumber(const char* begin, const char* end, double& value) {
    const char* s = begin;
    return ReadNumberPrefix(s, end, value) && s == end;
}

}  // namespace morvik::reader
