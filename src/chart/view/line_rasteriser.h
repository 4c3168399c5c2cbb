#pragma once
// One-pixel lines written straight into the pixels, clipped to the canvas' clip rectangle.
// Between integer end points the pixels equal those of QPainter's aliased cosmetic line (a
// 16.16 fixed-point DDA along the major axis, both end pixels drawn).

#include <cstdint>

#include "chart/view/pixel_canvas.h"

namespace morvik::chart {

void DrawLine(const PixelCanvas& canvas, int x0, int y0, int x1, int y1, std::uint32_t color);

// A segment between pixel positions given as doubles (rounded to the nearest pixel). End points
// far outside the canvas are first cut back to a guard band around the clip rectangle in
// floating point, so no coordinate overflows; infinite or NaN ends draw nothing. A width above
// one (on high-density canvases) draws that many neighbouring lines across the major axis.
void DrawSegment(const PixelCanvas& canvas, double x0, double y0, double x1, double y1,
                 std::uint32_t color, int width = 1);

// Cuts the segment to the rectangle [left, right] x [top, bottom]; false when nothing is left.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double left, double top,
                 double right, double bottom);

}  // namespace morvik::chart
