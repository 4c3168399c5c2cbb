#pragma once
// Points handed to a series or to the sort in bulk, a block at a time.

#include <algorithm>
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

// Visits points [begin, end) of source in blocks: visit(count, block) with block[c][0, count).
template <std::size_t N, class Visit>
void ForEachBlock(const PointSource<N>& source, std::size_t begin, std::size_t end, Visit visit) {
    constexpr std::size_t kBlockSize = 512;
    std::array<std::array<double, kBlockSize>, N> buffer;
    std::array<double*, N> block;
    for (std::size_t c = 0; c < N; ++c) block[c] = buffer[c].data();
    for (std::size_t first = begin; first < end; first += kBlockSize) {
        const std::size_t count = std::min(kBlockSize, end - first);
        source(first, count, block);
        visit(count, block);
    }
}

}  // namespace morvik::chart
