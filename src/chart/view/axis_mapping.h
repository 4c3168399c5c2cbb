#pragma once
// Maps axis values to pixel positions and back, safely for any double range.

namespace morvik::chart {

class AxisMapping {
  public:
    AxisMapping() = default;
    // minimum maps to pixelAtMin and maximum to pixelAtMax (the Y axis runs upwards, so its
    // pixelAtMin is the bottom row). A range of zero width (or worse) maps every finite value
    // to the middle between the two pixels.
    // Pixel positions are pixel centres; they may fall between pixels on a high-density canvas.
    AxisMapping(double minimum, double maximum, double pixelAtMin, double pixelAtMax);

    // The same range on a canvas with ratio device pixels per pixel: a pixel centre p lands on
    // the device position (p + 0.5) * ratio - 0.5. At ratio 1 this is the mapping itself.
    AxisMapping Scaled(double ratio) const;

    // The pixel position as a double: NaN for NaN, possibly far outside or infinite; callers
    // range-check before converting to int.
    double ToPixel(double value) const { return base_ + (value * pre_ - offset_) * scale_; }
    // The value at a pixel position, in the extended precision of the range arithmetic.
    long double ToValue(double pixel) const;

    bool Middle() const { return middle_; }
    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    double PixelAtMin() const { return pixelAtMin_; }
    double PixelAtMax() const { return pixelAtMax_; }

  private:
    double minimum_ = 0, maximum_ = 0;
    double pixelAtMin_ = 0, pixelAtMax_ = 0;
    bool middle_ = true;
    // ToPixel = base + (v * pre - offset) * scale. pre is 0.5 when maximum - minimum overflows a
    // double, so the difference never becomes infinite; a zero scale puts values at the middle.
    double base_ = 0, pre_ = 0, offset_ = 0, scale_ = 0;
};

// Rounds a pixel position already checked to lie well within the int range (|p| < 2^30).
inline int RoundPixel(double p) {
    constexpr double kBias = 1 << 30;
    return static_cast<int>(p + (kBias + 0.5)) - (1 << 30);
}

}  // namespace morvik::chart
