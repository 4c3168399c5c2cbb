#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

#include "analysis/number_format.h"

namespace morvik {

namespace {

constexpr int kSignificantDigits = 15;

// Every digit of a double's exact decimal value fits in 767 significant digits.
constexpr int kExactPrecision = 767;

// The magnitude rounded to 15 significant digits, half away from zero on the exact binary
// value: digits d1..dn (n <= 15, no trailing zeros), value 0.d1..dn * 10^(exponent + 1).
struct TRoundedDecimal {
    std::array<char, kSignificantDigits> Digits{};
    int Count = 0;
    int Exponent = 0;  // decimal exponent of the first digit
};

TRoundedDecimal RoundMagnitude(double magnitude) {
    // All digits exactly, in scientific form "d.ddd...e[+-]x": rounding half away from zero
    // needs the exact 16th digit, which a rounded conversion could have changed.
    std::array<char, kExactPrecision + 16> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), magnitude,
                                      std::chars_format::scientific, kExactPrecision);
    const std::string_view written(text.data(), static_cast<std::size_t>(result.ptr - text.data()));
    const std::size_t e = written.find('e');
    int exponent = 0;
    std::from_chars(written.data() + e + 1 + (written[e + 1] == '+'),
                    written.data() + written.size(), exponent);

    // The digits without the point: written[0], then written[2..e).
    auto digitAt = [&](int i) {
        return i == 0 ? written[0] : written[static_cast<std::size_t>(i) + 1];
    };
    TRoundedDecimal rounded;
    for (int i = 0; i < kSignificantDigits; ++i) rounded.Digits[i] = digitAt(i);
    if (digitAt(kSignificantDigits) >= '5') {
        int i = kSignificantDigits - 1;
        while (i >= 0 && rounded.Digits[i] == '9') rounded.Digits[i--] = '0';
        if (i >= 0) {
            ++rounded.Digits[i];
        } else {  // 999...9 carried into a new leading digit
            rounded.Digits[0] = '1';
            ++exponent;
        }
    }
    rounded.Count = kSignificantDigits;
    while (rounded.Count > 1 && rounded.Digits[rounded.Count - 1] == '0') --rounded.Count;
    rounded.Exponent = exponent;
    return rounded;
}

void AppendFixed(std::string& out, const TRoundedDecimal& r, std::string_view separator) {
    const std::string_view digits(r.Digits.data(), static_cast<std::size_t>(r.Count));
    if (r.Exponent < 0) {
        out += '0';
        out += separator;
        out.append(static_cast<std::size_t>(-r.Exponent - 1), '0');
        out += digits;
        return;
    }
    const std::size_t integerDigits = static_cast<std::size_t>(r.Exponent) + 1;
    if (digits.size() <= integerDigits) {
        out += digits;
        out.append(integerDigits - digits.size(), '0');
        return;
    }
    out += digits.substr(0, integerDigits);
    out += separator;
    out += digits.substr(integerDigits);
}

void AppendScientific(std::string& out, const TRoundedDecimal& r, std::string_view separator) {
    out += r.Digits[0];
    if (r.Count > 1) {
        out += separator;
        out.append(r.Digits.data() + 1, static_cast<std::size_t>(r.Count - 1));
    }
    out += 'E';
    out += std::to_string(r.Exponent);
}

}  // namespace

std::string RawValue(double value, std::string_view decimalSeparator) {
    if (value == 0) return "0";  // negative zero included
    if (std::isnan(value)) return "NAN";
    std::string out;
    if (std::signbit(value)) out += '-';
    if (std::isinf(value)) return out + "INF";

    const TRoundedDecimal rounded = RoundMagnitude(std::fabs(value));
    // Fixed notation for rounded magnitudes in [0.0001, 1E15).
    if (rounded.Exponent >= -4 && rounded.Exponent < 15) {
        AppendFixed(out, rounded, decimalSeparator);
    } else {
        AppendScientific(out, rounded, decimalSeparator);
    }
    return out;
}

}  // namespace morvik
