#pragma once
// Square point markers written straight into the pixels: each marker is 2s+1 pixels wide and
// high, a one-pixel outline around the fill, centred on the rounded pixel of its point, and
// clipped to the canvas' clip rectangle. The result equals drawing the markers one by one in
// point order with a one-pixel pen and a fill brush.
// On a high-density canvas (device pixels per logical pixel, ratio != 1) the axis mappings give
// device pixels and the marker is scaled: about (2s+1) * ratio pixels wide with an outline of
// about ratio pixels, so it looks as at ratio 1, only sharper.

#include <cstdint>
#include <span>
#include <vector>

#include "chart/view/axis_mapping.h"
#include "chart/view/pixel_canvas.h"

namespace morvik::chart {

struct MarkerStyle {
    int size = 4;  // half the side less the centre pixel
    std::uint32_t fill = 0;
    std::uint32_t outline = 0;
};

// Reusable buffers, so a redraw allocates nothing once they have grown.
struct MarkerScratch {
    std::vector<std::uint8_t> covered;
    std::vector<std::int32_t> centres;
};

void DrawMarkers(const PixelCanvas& canvas, const AxisMapping& x, const AxisMapping& y,
                 std::span<const double> xs, std::span<const double> ys, const MarkerStyle& style,
                 MarkerScratch& scratch, double ratio = 1.0);

// The device pixels of a marker: it spans [c - before, c + after] in both directions around
// its centre pixel c = round(position + shift). An even side has no middle pixel, so its
// centre lies half a pixel off and the shift rounds the position to the nearer pair.
struct MarkerShape {
    int before = 0, after = 0;
    int outlineWidth = 1;
    double shift = 0;
};
MarkerShape ScaledMarkerShape(int size, double ratio);

}  // namespace morvik::chart
