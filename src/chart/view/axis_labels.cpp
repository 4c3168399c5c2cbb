#include "chart/view/axis_labels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace morvik::chart {

std::vector<double> AxisTicks(double minimum, double maximum, double lengthPixels,
                              double minSpacing) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum)) return {};
    if (!(maximum > minimum))
        return {static_cast<double>((static_cast<long double>(minimum) + maximum) / 2)};
    const long double width = static_cast<long double>(maximum) - minimum;
    const long double wanted = width * std::max(minSpacing, 1.0) / std::max(lengthPixels, 1.0);
    long double step = std::pow(10.0L, std::floor(std::log10(wanted)));
    for (const long double factor : {1.0L, 2.0L, 5.0L, 10.0L}) {
        if (step * factor >= wanted) {
            step *= factor;
            break;
        }
    }
    const long double first = std::ceil(minimum / step), last = std::floor(maximum / step);
    std::vector<double> ticks;
    if (!(last - first < 1000)) return ticks;  // NaN or absurd counts: no ticks
    for (long double k = first; k <= last; ++k) {
        const double value = static_cast<double>(k * step);
        if (!std::isfinite(value)) continue;
        if (ticks.empty() || value > ticks.back()) ticks.push_back(value);
    }
    return ticks;
}

QString AxisLabel(double value, const QLocale& locale) {
    if (!std::isfinite(value)) return {};
    if (std::fabs(value) >= 1e15) return locale.toString(value, 'g', 15);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", std::fabs(value));
    std::string digits(buffer);
    const std::size_t point = digits.find('.');
    std::string integer = digits.substr(0, point);
    std::string fraction = digits.substr(point + 1);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    QString text;
    // A value that rounds to zero has no sign.
    if (std::signbit(value) && (integer != "0" || !fraction.empty())) text += QLatin1Char('-');
    const QString group = locale.groupSeparator();
    for (std::size_t i = 0; i < integer.size(); ++i) {
        if (i > 0 && (integer.size() - i) % 3 == 0) text += group;
        text += QLatin1Char(integer[i]);
    }
    if (!fraction.empty()) text += locale.decimalPoint() + QString::fromLatin1(fraction);
    return text;
}

}  // namespace morvik::chart
