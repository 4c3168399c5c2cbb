#pragma once
// Square point markers written straight into the pixels: each marker is 2s+1 pixels wide and
// high, a one-pixel outline around the fill, centred on the rounded pixel of its point, and
// clipped to the canvas' clip rectangle. The result equals drawing the markers one by one in
// point order with a one-pixel pen and a fill brush.

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
                 MarkerScratch& scratch);

}  // namespace morvik::chart
