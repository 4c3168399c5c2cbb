#include "chart/view/line_rasteriser.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "chart/view/axis_mapping.h"

namespace morvik::chart {
namespace {

// Coordinates up to this many pixels are rasterised exactly as given; beyond, the segment is
// first cut to a band of this width around the clip rectangle.
constexpr double kExactLimit = 1 << 22;
constexpr double kGuardBand = 1 << 20;

// The minor coordinate of the first pixel in 16.16 fixed point: QPainter's cosmetic stroker
// with square caps starts half a step in for positive slopes and on the end point otherwise.
std::int64_t FirstMinor(int start, std::int64_t inc) {
    return (std::int64_t{start} << 16) + (inc > 0 ? inc - (inc >> 1) : 0);
}

}  // namespace

void DrawLine(const PixelCanvas& c, int x0, int y0, int x1, int y1, std::uint32_t color) {
    if (c.Empty()) return;
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    if (dx < dy) {  // steep: one pixel per row
        if (y0 > y1) {
            std::swap(x0, x1);
            std::swap(y0, y1);
        }
        const std::int64_t inc = (std::int64_t{x1 - x0} << 16) / (y1 - y0);
        const int ys = std::max(y0, c.top), ye = std::min(y1, c.bottom);
        if (ys > ye) return;
        std::int64_t x = FirstMinor(x0, inc) + inc * (ys - y0);
        const unsigned width = static_cast<unsigned>(c.right - c.left);
        std::uint32_t* row = c.Row(ys);
        for (int y = ys; y <= ye; ++y, x += inc, row += c.stride) {
            const int px = static_cast<int>(x >> 16);
            if (static_cast<unsigned>(px - c.left) <= width) row[px] = color;
        }
        return;
    }
    // flat (or a single point): one pixel per column
    if (x0 > x1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const std::int64_t inc = dx == 0 ? 0 : (std::int64_t{y1 - y0} << 16) / (x1 - x0);
    const int xs = std::max(x0, c.left), xe = std::min(x1, c.right);
    if (xs > xe) return;
    std::int64_t y = FirstMinor(y0, inc) + inc * (xs - x0);
    const unsigned height = static_cast<unsigned>(c.bottom - c.top);
    for (int x = xs; x <= xe; ++x, y += inc) {
        const int py = static_cast<int>(y >> 16);
        if (static_cast<unsigned>(py - c.top) <= height) c.Row(py)[x] = color;
    }
}

bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double left, double top,
                 double right, double bottom) {
    // Cohen-Sutherland: an end outside is moved onto the crossed edge, whose coordinate is then
    // exact, however far away the end was. Long double keeps the products of huge values finite.
    enum : unsigned { kLeft = 1, kRight = 2, kTop = 4, kBottom = 8 };
    long double ax = x0, ay = y0, bx = x1, by = y1;
    auto code = [&](long double x, long double y) {
        return (x < left ? kLeft : 0u) | (x > right ? kRight : 0u) | (y < top ? kTop : 0u) |
               (y > bottom ? kBottom : 0u);
    };
    for (int step = 0; step < 8; ++step) {
        const unsigned ca = code(ax, ay), cb = code(bx, by);
        if ((ca | cb) == 0) {
            x0 = static_cast<double>(ax);
            y0 = static_cast<double>(ay);
            x1 = static_cast<double>(bx);
            y1 = static_cast<double>(by);
            return true;
        }
        if (ca & cb) return false;
        const bool moveA = ca != 0;
        const unsigned c = moveA ? ca : cb;
        long double x, y;
        if (c & (kLeft | kRight)) {
            x = (c & kLeft) ? left : right;
            y = ay + (by - ay) * ((x - ax) / (bx - ax));
        } else {
            y = (c & kTop) ? top : bottom;
            x = ax + (bx - ax) * ((y - ay) / (by - ay));
        }
        (moveA ? ax : bx) = x;
        (moveA ? ay : by) = y;
    }
    return false;
}

namespace {

// Kept out of line so the one-pixel path stays as lean as before.
[[gnu::noinline]] void DrawThickLine(const PixelCanvas& c, int x0, int y0, int x1, int y1,
                                     std::uint32_t color, int width) {
    // Steep lines thicken sideways, flat ones up and down, as each has one pixel per row or
    // column; the lines are centred on the segment.
    const bool steep = std::abs(x1 - x0) < std::abs(y1 - y0);
    for (int k = -(width - 1) / 2; k <= width / 2; ++k) {
        if (steep)
            DrawLine(c, x0 + k, y0, x1 + k, y1, color);
        else
            DrawLine(c, x0, y0 + k, x1, y1 + k, color);
    }
}

}  // namespace

void DrawSegment(const PixelCanvas& c, double x0, double y0, double x1, double y1,
                 std::uint32_t color, int width) {
    // Infinite or NaN ends (values the axis cannot place) draw nothing.
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return;
    const auto inside = [](double v) { return v > -kExactLimit && v < kExactLimit; };
    if (!(inside(x0) && inside(y0) && inside(x1) && inside(y1))) {
        if (!ClipSegment(x0, y0, x1, y1, c.left - kGuardBand, c.top - kGuardBand,
                         c.right + kGuardBand, c.bottom + kGuardBand))
            return;
        if (!(inside(x0) && inside(y0) && inside(x1) && inside(y1))) return;
    }
    const int ix0 = RoundPixel(x0), iy0 = RoundPixel(y0), ix1 = RoundPixel(x1),
              iy1 = RoundPixel(y1);
    if (width > 1) {
        DrawThickLine(c, ix0, iy0, ix1, iy1, color, width);
        return;
    }
    DrawLine(c, ix0, iy0, ix1, iy1, color);
}

}  // namespace morvik::chart
