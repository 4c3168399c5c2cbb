#include "chart/model/stable_order.h"

#include <array>
#include <bit>
#include <cstddef>

namespace morvik::chart {
namespace {

// Maps a double to an unsigned key with the same order (NaN excluded, -0 equal to +0).
std::uint64_t OrderedKey(double value) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value == 0 ? 0.0 : value);
    constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
    return (bits & kSign) ? ~bits : bits | kSign;
}

struct KeyedIndex {
    std::uint64_t key;
    std::uint32_t index;
};

constexpr int kDigitBits = 11;
constexpr int kDigits = (64 + kDigitBits - 1) / kDigitBits;
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;

std::size_t Digit(std::uint64_t key, int digit) {
    return static_cast<std::size_t>(key >> (digit * kDigitBits)) & (kBuckets - 1);
}

}  // namespace

// A least-significant-digit radix sort: linear in the count and stable by construction, so a
// million points added in random order are placed in a few milliseconds.
std::vector<std::uint32_t> StableAscendingOrder(std::span<const double> values) {
    std::vector<KeyedIndex> items(values.size()), scratch(values.size());
    std::vector<std::array<std::size_t, kBuckets>> counts(kDigits);
    for (auto& c : counts) c.fill(0);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::uint64_t key = OrderedKey(values[i]);
        items[i] = {key, static_cast<std::uint32_t>(i)};
        for (int d = 0; d < kDigits; ++d) ++counts[d][Digit(key, d)];
    }
    for (int d = 0; d < kDigits; ++d) {
        auto& count = counts[d];
        // A digit that all keys share leaves the order as it is.
        if (!values.empty() && count[Digit(items[0].key, d)] == values.size()) continue;
        std::size_t offset = 0;
        for (auto& c : count) {
            const std::size_t n = c;
            c = offset;
            offset += n;
        }
        for (const KeyedIndex& item : items) scratch[count[Digit(item.key, d)]++] = item;
        items.swap(scratch);
    }
    std::vector<std::uint32_t> order(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) order[i] = items[i].index;
    return order;
}

}  // namespace morvik::chart
