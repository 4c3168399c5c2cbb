#pragma once
// Axis tick values at tidy steps and their labels in the "#,##0.###" style.

#include <QLocale>
#include <QString>
#include <vector>

namespace morvik::chart {

// Tick values k * step inside [minimum, maximum], step = 1, 2 or 5 times a power of ten and
// at least minSpacing pixels apart on an axis of lengthPixels. A range without width has the
// single tick at its middle; a range too narrow for distinct doubles has none.
std::vector<double> AxisTicks(double minimum, double maximum, double lengthPixels,
                              double minSpacing);

// "#,##0.###": at most three decimals with trailing zeros dropped, digit groups of three in
// the integer part, with the locale's group and decimal separators. Values of 1E15 and more
// are written in exponent form.
QString AxisLabel(double value, const QLocale& locale);

}  // namespace morvik::chart
