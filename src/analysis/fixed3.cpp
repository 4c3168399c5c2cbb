#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/number_format.h"

namespace morvik {

namespace {

using Uint128 = unsigned __int128;

// |value| = Mantissa * 2^Exponent exactly.
struct TBinaryValue {
    std::uint64_t Mantissa;
    int Exponent;
};

TBinaryValue Decompose(double magnitude) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0) return {fraction, -1074};  // subnormal or zero
    return {fraction | (std::uint64_t{1} << 52), biased - 1075};
}

std::string ToDecimal(Uint128 n) {
    if (n == 0) return "0";
    char digits[40];
    int length = 0;
    while (n != 0) {
        digits[length++] = static_cast<char>('0' + static_cast<int>(n % 10));
        n /= 10;
    }
    std::string text;
    text.reserve(length);
    while (length > 0) text.push_back(digits[--length]);
    return text;
}

// Thousandths of value = Mantissa * 2^Exponent below 2^120, rounded half away from zero,
// split into the integer part and the three decimals.
struct TFixedParts {
    Uint128 Integer;
    unsigned Thousandths;
};

TFixedParts RoundToThousandths(TBinaryValue v) {
    if (v.Exponent >= 0) return {Uint128{v.Mantissa} << v.Exponent, 0};
    const int shift = -v.Exponent;
    // Mantissa * 1000 < 2^63, so a shift of 64 or more leaves less than one half.
    if (shift >= 64) return {0, 0};
    const Uint128 scaled = Uint128{v.Mantissa} * 1000;
    Uint128 rounded = scaled >> shift;
    if ((scaled >> (shift - 1)) & 1) ++rounded;  // the remainder is at least one half
    return {rounded / 1000, static_cast<unsigned>(rounded % 1000)};
}

// All decimal digits of the integer Mantissa * 2^Exponent (Exponent >= 0), most significant
// first, through base 10^9 limbs.
std::string IntegerDigits(TBinaryValue v) {
    std::vector<std::uint32_t> limbs{
        static_cast<std::uint32_t>(v.Mantissa % 1000000000),
        static_cast<std::uint32_t>(v.Mantissa / 1000000000 % 1000000000),
        static_cast<std::uint32_t>(v.Mantissa / 1000000000 / 1000000000)};
    for (int i = 0; i < v.Exponent; ++i) {
        std::uint32_t carry = 0;
        for (std::uint32_t& limb : limbs) {
            const std::uint32_t doubled = limb * 2 + carry;
            carry = doubled >= 1000000000 ? 1 : 0;
            limb = doubled - carry * 1000000000;
        }
        if (carry != 0) limbs.push_back(carry);
    }
    while (limbs.size() > 1 && limbs.back() == 0) limbs.pop_back();
    std::string digits = std::to_string(limbs.back());
    for (auto limb = limbs.rbegin() + 1; limb != limbs.rend(); ++limb) {
        const std::string part = std::to_string(*limb);
        digits.append(9 - part.size(), '0');
        digits += part;
    }
    return digits;
}

// " d.dE+eeee" from the exact digits, the second significant digit rounded half away from
// zero (a carry such as 9.96E40 -> 1.0E41 moves into the exponent).
std::string ExponentForm(bool negative, TBinaryValue v) {
    const std::string digits = IntegerDigits(v);
    int exponent = static_cast<int>(digits.size()) - 1;
    int leading = (digits[0] - '0') * 10 + (digits[1] - '0');
    if (digits[2] >= '5') ++leading;
    if (leading == 100) {
        leading = 10;
        ++exponent;
    }
    std::string exponentDigits = std::to_string(exponent);
    std::string text(1, negative ? '-' : ' ');
    text += static_cast<char>('0' + leading / 10);
    text += '.';
    text += static_cast<char>('0' + leading % 10);
    text += "E+";
    text.append(4 - exponentDigits.size(), '0');
    text += exponentDigits;
    return text;
}

}  // namespace

std::string Fixed3(double value) {
    const bool negative = std::signbit(value);
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return negative ? "-INF" : "INF";
    const TBinaryValue magnitude = Decompose(std::fabs(value));
    // 2^120 and above: a 53-bit mantissa with an exponent of 68 or more.
    if (magnitude.Exponent >= 68) return ExponentForm(negative, magnitude);
    const TFixedParts parts = RoundToThousandths(magnitude);
    std::string text = negative ? "-" : "";
    text += ToDecimal(parts.Integer);
    text += '.';
    text += static_cast<char>('0' + parts.Thousandths / 100);
    text += static_cast<char>('0' + parts.Thousandths / 10 % 10);
    text += static_cast<char>('0' + parts.Thousandths % 10);
    return text;
}

}  // namespace morvik
