#include "chart/view/axis_mapping.h"

#include <cmath>

namespace morvik::chart {

AxisMapping::AxisMapping(double minimum, double maximum, double pixelAtMin, double pixelAtMax)
    : minimum_(minimum), maximum_(maximum), pixelAtMin_(pixelAtMin), pixelAtMax_(pixelAtMax) {
    const bool finite = std::isfinite(minimum) && std::isfinite(maximum);
    middle_ = !finite || !(maximum > minimum) || pixelAtMin == pixelAtMax;
    if (middle_) {
        base_ = (pixelAtMin + pixelAtMax) / 2;
        return;
    }
    pre_ = std::isfinite(maximum - minimum) ? 1.0 : 0.5;
    offset_ = minimum * pre_;
    scale_ = (pixelAtMax - pixelAtMin) / (maximum * pre_ - offset_);
    base_ = pixelAtMin;
}

AxisMapping AxisMapping::Scaled(double ratio) const {
    if (ratio == 1) return *this;
    return AxisMapping(minimum_, maximum_, (pixelAtMin_ + 0.5) * ratio - 0.5,
                       (pixelAtMax_ + 0.5) * ratio - 0.5);
}

long double AxisMapping::ToValue(double pixel) const {
    if (middle_) return (static_cast<long double>(minimum_) + maximum_) / 2;
    const long double width = static_cast<long double>(maximum_) - minimum_;
    return minimum_ + (static_cast<long double>(pixel) - pixelAtMin_) * width /
                          (static_cast<long double>(pixelAtMax_) - pixelAtMin_);
}

}  // namespace morvik::chart
