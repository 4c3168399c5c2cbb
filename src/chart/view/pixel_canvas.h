#pragma once
// A 32-bit pixel buffer with the rectangle that drawing is clipped to.

#include <cstddef>
#include <cstdint>

namespace morvik::chart {

struct PixelCanvas {
    std::uint32_t* bits = nullptr;
    std::ptrdiff_t stride = 0;  // pixels per row
    // Inclusive clip rectangle; must lie inside the buffer.
    int left = 0, top = 0, right = -1, bottom = -1;

    bool Empty() const { return right < left || bottom < top; }
    std::uint32_t* Row(int y) const { return bits + y * stride; }
};

}  // namespace morvik::chart
