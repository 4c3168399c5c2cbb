#include "chart/model/chart_model.h"

#include <cmath>
#include <utility>

#include "analysis/numeric_error.h"

namespace morvik::chart {

void ChartAxis::SetAutomatic(bool automatic) {
    automatic_ = automatic;
    owner_.MarkChanged();
}

void ChartAxis::SetMinMax(double minimum, double maximum) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum)) throw NumericError();
    if (maximum < minimum) std::swap(minimum, maximum);
    automatic_ = false;
    minimum_ = minimum;
    maximum_ = maximum;
    owner_.MarkChanged();
}

void ChartAxis::SetComputedRange(double minimum, double maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
}

ChartModel::ChartModel()
    : Series1(*this, SeriesKind::Point, "(Series1) DataSeries, points"),
      Series2(*this, SeriesKind::Line, "(Series2) PrincipalComponent, line"),
      Series3(*this, SeriesKind::Point, "(Series3) Projection Series, points"),
      Series4(*this, SeriesKind::Arrow, "(Series4) Projection lines, (arrow series)"),
      BottomAxis(*this),
      LeftAxis(*this) {
    constexpr Rgb kBlack{0, 0, 0};
    Series1.SetColor({255, 0, 0});
    Series1.SetPointerFill({0, 128, 255});
    Series1.SetPointerOutline(kBlack);
    Series2.SetColor({255, 0, 0});
    Series2.SetPenStyle(LineStyle::Dot);
    Series3.SetColor({0, 128, 0});
    Series3.SetPointerFill({0, 255, 0});
    Series3.SetPointerOutline(kBlack);
    Series4.SetColor({255, 128, 0});
    Series4.SetPointerFill({255, 255, 255});
    Series4.SetPointerOutline({255, 128, 0});
    Series4.SetPointerSize(1);
    dirty_ = false;  // nothing has been drawn yet, but the look set above is no change
}

void ChartModel::SetChangedCallback(std::function<void()> callback) {
    changed_ = std::move(callback);
}

void ChartModel::MarkDrawn() {
    dirty_ = false;
}

}  // namespace morvik::chart
