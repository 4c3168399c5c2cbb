#pragma once
// Points handed to a series or to the sort in bulk, a block at a time.

#include <array>
#include <cstddef>
#include <functional>

namespace morvik::chart {

// Writes the values of points [first, first + count) of a sequence into columns[c][0, count):
// X, Y and, for arrows, the end X and Y. It may be asked for the same point more than once
// and must give the same values each time, and it may be called from two threads at once.
template <std::size_t N>
using PointSource = std::function<void(std::size_t first, std::size_t count,
                                       const std::array<double*, N>& columns)>;

}  // namespace morvik::chart
