#include "chart/view/marker_blitter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace morvik::chart {
namespace {

// Markers larger than this are rare enough to skip the duplicate filter and its buffer.
constexpr int kMaxFilteredSize = 64;
// Below this many points, clearing the filter's buffer costs more than it saves.
constexpr std::size_t kMinFilteredCount = 2048;

struct MarkerRows {
    std::vector<std::uint32_t> outline, middle;  // outline rows, rows through the fill
    MarkerRows(const MarkerShape& shape, const MarkerStyle& style) {
        const int w = shape.before + shape.after + 1;
        const int edge = std::min(shape.outlineWidth, w);
        outline.assign(w, style.outline);
        middle.assign(w, style.fill);
        std::fill_n(middle.begin(), edge, style.outline);
        std::fill_n(middle.end() - edge, edge, style.outline);
    }
};

template <int S>
void BlitWhole(std::uint32_t* topLeft, std::ptrdiff_t stride, std::uint32_t fill,
               std::uint32_t outline) {
    constexpr int kW = 2 * S + 1;
    std::uint32_t* row = topLeft;
    for (int x = 0; x < kW; ++x) row[x] = outline;
    for (int r = 1; r < kW - 1; ++r) {
        row += stride;
        row[0] = outline;
        for (int x = 1; x < kW - 1; ++x) row[x] = fill;
        row[kW - 1] = outline;
    }
    row += stride;
    for (int x = 0; x < kW; ++x) row[x] = outline;
}

using WholeBlitter = void (*)(std::uint32_t*, std::ptrdiff_t, std::uint32_t, std::uint32_t);

WholeBlitter WholeBlitterFor(int size) {
    switch (size) {
        case 1:
            return BlitWhole<1>;
        case 2:
            return BlitWhole<2>;
        case 3:
            return BlitWhole<3>;
        case 4:
            return BlitWhole<4>;
        case 5:
            return BlitWhole<5>;
        case 6:
            return BlitWhole<6>;
        default:
            return nullptr;
    }
}

class Blitter {
  public:
    Blitter(const PixelCanvas& canvas, const MarkerShape& shape, const MarkerStyle& style)
        : c_(canvas),
          shape_(shape),
          style_(style),
          rows_(shape, style),
          whole_(shape.outlineWidth == 1 && shape.before == shape.after
                     ? WholeBlitterFor(shape.before)
                     : nullptr) {}

    void Draw(int cx, int cy) const {
        const int x0 = cx - shape_.before, x1 = cx + shape_.after;
        const int y0 = cy - shape_.before, y1 = cy + shape_.after;
        if (whole_ && x0 >= c_.left && x1 <= c_.right && y0 >= c_.top && y1 <= c_.bottom) {
            whole_(c_.Row(y0) + x0, c_.stride, style_.fill, style_.outline);
            return;
        }
        const int cx0 = std::max(x0, c_.left), cx1 = std::min(x1, c_.right);
        const int cy0 = std::max(y0, c_.top), cy1 = std::min(y1, c_.bottom);
        if (cx0 > cx1 || cy0 > cy1) return;
        const std::size_t bytes = static_cast<std::size_t>(cx1 - cx0 + 1) * sizeof(std::uint32_t);
        const int t = shape_.outlineWidth;
        for (int y = cy0; y <= cy1; ++y) {
            const bool outlineRow = y < y0 + t || y > y1 - t;
            const auto& source = outlineRow ? rows_.outline : rows_.middle;
            std::memcpy(c_.Row(y) + cx0, source.data() + (cx0 - x0), bytes);
        }
    }

  private:
    const PixelCanvas& c_;
    MarkerShape shape_;
    MarkerStyle style_;
    MarkerRows rows_;
    WholeBlitter whole_;
};

}  // namespace

MarkerShape ScaledMarkerShape(int size, double ratio) {
    // At ratio 1 this is the plain 2s+1 square with a one-pixel outline.
    MarkerShape shape;
    shape.outlineWidth = std::max(1, static_cast<int>(std::lround(ratio)));
    const long side = std::max(std::lround((2.0 * size + 1) * ratio), 2L * shape.outlineWidth + 1);
    shape.before = static_cast<int>(side / 2);
    shape.after = static_cast<int>(side - 1 - shape.before);
    shape.shift = side % 2 == 0 ? 0.5 : 0.0;
    return shape;
}

void DrawMarkers(const PixelCanvas& canvas, const AxisMapping& x, const AxisMapping& y,
                 std::span<const double> xs, std::span<const double> ys, const MarkerStyle& style,
                 MarkerScratch& scratch, double ratio) {
    const std::size_t n = std::min(xs.size(), ys.size());
    if (canvas.Empty() || n == 0 || style.size < 1 || !(ratio > 0)) return;
    const MarkerShape shape = ScaledMarkerShape(style.size, ratio);
    // The centres whose marker can touch the clip rectangle. Positions are range-checked as
    // doubles before rounding, so huge, infinite and NaN positions never reach an int.
    const int areaLeft = canvas.left - shape.after, areaTop = canvas.top - shape.after;
    const int areaWidth = canvas.right - canvas.left + 1 + shape.before + shape.after;
    const int areaHeight = canvas.bottom - canvas.top + 1 + shape.before + shape.after;
    const double loX = areaLeft - 1.0, hiX = areaLeft + areaWidth + 1.0;
    const double loY = areaTop - 1.0, hiY = areaTop + areaHeight + 1.0;
    // An even side rounds positions half a pixel further on, folded into the mappings so the
    // per-point work is the same for every side.
    auto shifted = [&](const AxisMapping& m) {
        if (shape.shift == 0) return m;
        return AxisMapping(m.Minimum(), m.Maximum(), m.PixelAtMin() + shape.shift,
                           m.PixelAtMax() + shape.shift);
    };
    const AxisMapping mx = shifted(x), my = shifted(y);
    auto centreKey = [&](std::size_t i) -> int {
        const double px = mx.ToPixel(xs[i]), py = my.ToPixel(ys[i]);
        if (!(px > loX && px < hiX && py > loY && py < hiY)) return -1;
        const unsigned cx = static_cast<unsigned>(RoundPixel(px) - areaLeft);
        const unsigned cy = static_cast<unsigned>(RoundPixel(py) - areaTop);
        if (cx >= static_cast<unsigned>(areaWidth) || cy >= static_cast<unsigned>(areaHeight))
            return -1;
        return static_cast<int>(cy) * areaWidth + static_cast<int>(cx);
    };
    const Blitter blitter(canvas, shape, style);

    if (std::max(shape.before, shape.after) > kMaxFilteredSize || n < kMinFilteredCount) {
        for (std::size_t i = 0; i < n; ++i) {
            const int key = centreKey(i);
            if (key >= 0) blitter.Draw(key % areaWidth + areaLeft, key / areaWidth + areaTop);
        }
        return;
    }
    // A marker drawn later at the same centre covers an earlier one completely, so only the
    // last marker at each centre is drawn. Walking the points backwards finds those; drawing
    // them in reverse of that walk keeps the point order among the survivors.
    scratch.covered.assign(static_cast<std::size_t>(areaWidth) * areaHeight, 0);
    scratch.centres.clear();
    for (std::size_t i = n; i-- > 0;) {
        const int key = centreKey(i);
        if (key < 0) continue;
        std::uint8_t& seen = scratch.covered[static_cast<std::size_t>(key)];
        if (seen) continue;
        seen = 1;
        scratch.centres.push_back(key);
    }
    for (auto it = scratch.centres.rbegin(); it != scratch.centres.rend(); ++it)
        blitter.Draw(*it % areaWidth + areaLeft, *it / areaWidth + areaTop);
}

}  // namespace morvik::chart
