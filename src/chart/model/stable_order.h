#pragma once
// Stable sorting of points by ascending X: equal X values keep their order.

#include <span>

namespace morvik::chart {

// Sorts the points (x[i], y[i]) by x, keeping points with equal x in their order. x must not
// hold NaN; -0 and +0 are equal, as they are for the comparisons that place a point. The spans
// must have the same size.
void StableSortByX(std::span<double> x, std::span<double> y);
// The same for arrows: each start point moves together with its end point.
void StableSortByX(std::span<double> x, std::span<double> y, std::span<double> endX,
                   std::span<double> endY);

}  // namespace morvik::chart
