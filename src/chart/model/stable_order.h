#pragma once
// The permutation that sorts X values ascending and keeps equal values in their order.

#include <cstdint>
#include <span>
#include <vector>

namespace morvik::chart {

// Indices of values in stable ascending order; values must not hold NaN. -0 and +0 are equal,
// as they are for the comparisons that place a point.
std::vector<std::uint32_t> StableAscendingOrder(std::span<const double> values);

}  // namespace morvik::chart
