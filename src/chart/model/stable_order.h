#pragma once
// Stable sorting of points by ascending X: equal X values keep their order.

#include <array>
#include <cstddef>
#include <span>

#include "chart/model/point_source.h"

namespace morvik::chart {

// Sorts the points (x[i], y[i]) by x, keeping points with equal x in their order. x must not
// hold NaN; -0 and +0 are equal, as they are for the comparisons that place a point. The spans
// must have the same size.
void StableSortByX(std::span<double> x, std::span<double> y);
// The same for arrows: each start point moves together with its end point.
void StableSortByX(std::span<double> x, std::span<double> y, std::span<double> endX,
                   std::span<double> endY);

// Writes the n points of source into the columns (X first, each of size n) in the order
// StableSortByX gives them, without holding a sorted copy of them all. Returns false, with the
// columns left undefined, when an X is NaN.
bool StableSortedCopy(std::size_t n, const PointSource<2>& source,
                      const std::array<std::span<double>, 2>& columns);
bool StableSortedCopy(std::size_t n, const PointSource<4>& source,
                      const std::array<std::span<double>, 4>& columns);

}  // namespace morvik::chart
