// The chart operations of the analysis steps. Expressions are evaluated in extended precision
// and rounded to double where a value is stored, as everywhere in the analysis.

#include <cmath>
#include <limits>

#include "analysis/numeric_error.h"
#include "chart/model/chart_model.h"

namespace morvik::chart {
namespace {

using Extended = long double;
static_assert(std::numeric_limits<Extended>::digits == 64);

double StoreFinite(Extended value) {
    const double stored = static_cast<double>(value);
    if (!std::isfinite(stored)) throw NumericError();
    return stored;
}

}  // namespace

void FitAxes(ChartModel& model) {
    ValueBounds b;
    for (const ChartSeries* s : {&model.Series1, &model.Series3}) {
        if (!s->Active()) continue;
        const ValueBounds sb = s->Bounds();
        if (sb.empty) continue;
        if (b.empty) {
            b = sb;
            continue;
        }
        b.minX = std::fmin(b.minX, sb.minX);
        b.maxX = std::fmax(b.maxX, sb.maxX);
        b.minY = std::fmin(b.minY, sb.minY);
        b.maxY = std::fmax(b.maxY, sb.maxY);
    }
    const double lo = std::fmin(b.minX, b.minY);
    const double hi = std::fmax(b.maxX, b.maxY);
    // Everything is computed before any axis changes, so a failure leaves both axes as they were.
    const double margin = StoreFinite(std::fabs(Extended{hi} - lo) * 0.05L);
    const double minimum = StoreFinite(Extended{lo} - margin);
    const double maximum = StoreFinite(Extended{hi} + margin);
    model.BottomAxis.SetAutomatic(false);
    model.LeftAxis.SetAutomatic(false);
    model.BottomAxis.SetMinMax(minimum, maximum);
    model.LeftAxis.SetMinMax(minimum, maximum);
}

void DrawPrincipalComponent(ChartModel& model, double x, double y) {
    ChartSeries& line = model.Series2;
    line.Clear();
    const double k = x == 0 ? 0 : static_cast<double>(Extended{y} / x);
    // x == 0 (negative zero included) is the vertical line; so is a direction whose slope does
    // not fit in a double, where the end points would otherwise be computed from infinity.
    if (x == 0 || !std::isfinite(k)) {
        line.AddXY(0, model.LeftAxis.Maximum());
        line.AddXY(0, model.LeftAxis.Minimum());
        return;
    }
    auto times = [k](double v) { return static_cast<double>(Extended{k} * v); };
    auto over = [k](double v) { return static_cast<double>(Extended{v} / k); };
    if (std::fabs(y) <= std::fabs(x)) {
        const double min = model.BottomAxis.Minimum();
        const double max = model.BottomAxis.Maximum();
        if (k >= 0) {
            line.AddXY(max, times(max));
            line.AddXY(min, times(min));
        } else {
            line.AddXY(min, times(min));
            line.AddXY(max, times(max));
        }
        return;
    }
    const double min = model.LeftAxis.Minimum();
    const double max = model.LeftAxis.Maximum();
    line.AddXY(over(max), max);
    line.AddXY(over(min), min);
}

void SetPointSize(ChartModel& model, int size) {
    model.Series1.SetPointerSize(size);
    model.Series3.SetPointerSize(size);
}

}  // namespace morvik::chart
