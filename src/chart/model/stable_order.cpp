#include "chart/model/stable_order.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace morvik::chart {
namespace {

constexpr std::uint64_t kSign = std::uint64_t{1} << 63;

// Maps x to an unsigned key of the same order (NaN excluded). -0 + 0 is +0, so both zeros get
// one key and stay in their order.
std::uint64_t OrderedKey(double x) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x + 0.0);
    const auto negative = static_cast<std::uint64_t>(static_cast<std::int64_t>(bits) >> 63);
    return bits ^ (negative | kSign);
}

// How x is held while sorting. Usually as its key, compared as it is and turned back into x at
// the end; that loses only the sign of -0, so points holding -0 keep x itself.
struct XAsKey {
    static std::uint64_t Hold(double x) { return OrderedKey(x); }
    static std::uint64_t Key(std::uint64_t held) { return held; }
    static double X(std::uint64_t held) {
        return std::bit_cast<double>((held & kSign) ? held ^ kSign : ~held);
    }
};
struct XAsIs {
    static std::uint64_t Hold(double x) { return std::bit_cast<std::uint64_t>(x); }
    static std::uint64_t Key(std::uint64_t held) { return OrderedKey(std::bit_cast<double>(held)); }
    static double X(std::uint64_t held) { return std::bit_cast<double>(held); }
};

// A point with its values side by side, so one move carries all of them.
template <std::size_t N>
struct Record {
    std::uint64_t x;     // as the codec holds it
    double rest[N - 1];  // y, then for arrows the end point
};

// Room for the sort that is not cleared first: every slot is written before it is read. Large
// blocks ask for huge pages, as faulting in small pages one by one costs more than the sorting.
template <class T>
struct FreeMemory {
    void operator()(T* p) const { std::free(p); }
};
template <class T>
std::unique_ptr<T[], FreeMemory<T>> UninitialisedArray(std::size_t n) {
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    const std::size_t bytes = std::max<std::size_t>(n, 1) * sizeof(T);
    void* p = nullptr;
    if (bytes >= kHugePage) {
        p = std::aligned_alloc(kHugePage, (bytes + kHugePage - 1) / kHugePage * kHugePage);
#if defined(MADV_HUGEPAGE)
        if (p) madvise(p, bytes, MADV_HUGEPAGE);
#endif
    } else {
        p = std::malloc(bytes);
    }
    if (!p) throw std::bad_alloc();
    return std::unique_ptr<T[], FreeMemory<T>>(static_cast<T*>(p));
}

// Small ranges are cheaper to sort by insertion than to distribute.
constexpr std::size_t kInsertionSortMax = 16;
// Buckets per pass: at most 64 Ki for the first pass over all points and 4 Ki below it, so the
// counts stay in the core's cache.
constexpr int kFirstDigitBits = 16;
constexpr int kDigitBits = 12;
// Each pass below the first takes at least one more bit of the 64.
constexpr std::size_t kLevels = 65;

// The bits of a pass: the highest of the bits in which the keys of a range may differ, as many
// as give about one bucket per key.
struct Digit {
    int shift = 0;
    std::uint64_t mask = 0;
    std::size_t Of(std::uint64_t key) const {
        return static_cast<std::size_t>(key >> shift & mask);
    }
};

Digit DigitFor(int differingBits, std::size_t n, int maxBits) {
    // About four keys per bucket: fewer buckets to walk, still short insertion sorts.
    const int wanted = std::max(1, static_cast<int>(std::bit_width(n)) - 2);
    const int width = std::min({differingBits, maxBits, wanted});
    return {differingBits - width, (std::uint64_t{1} << width) - 1};
}

// Turns counts into the start of each bucket; returns the largest count.
std::size_t StartsFromCounts(std::vector<std::size_t>& counts) {
    std::size_t offset = 0, largest = 0;
    for (std::size_t& c : counts) {
        const std::size_t n = c;
        c = offset;
        offset += n;
        largest = std::max(largest, n);
    }
    return largest;
}

// A most-significant-digit radix sort: each pass distributes a range by the highest bits in
// which its keys differ, in order of appearance (so it is stable), and the buckets are sorted
// in turn. The first pass leaves buckets that fit in the cache for the passes below it, and
// ranges of equal keys are done at once. The sorted points go straight back into the columns.
template <std::size_t N, class Codec>
class RadixSorter {
  public:
    explicit RadixSorter(const std::array<std::span<double>, N>& columns) : columns_(columns) {}

    // lowestKey and highestKey: of all x, which must not be all equal.
    void Sort(std::uint64_t lowestKey, std::uint64_t highestKey) {
        const std::span<double> x = columns_[0];
        const std::size_t n = x.size();
        const Digit digit = DigitFor(std::bit_width(lowestKey ^ highestKey), n, kFirstDigitBits);
        std::vector<std::size_t>& starts = counts_[0];
        starts.assign(digit.mask + 1, 0);
        for (double v : x) ++starts[digit.Of(OrderedKey(v))];
        const std::size_t largest = StartsFromCounts(starts);
        const auto records = UninitialisedArray<Record<N>>(n);
        const auto scratch = UninitialisedArray<Record<N>>(largest);
        for (std::size_t i = 0; i < n; ++i) {
            Record<N> r;
            r.x = Codec::Hold(x[i]);
            for (std::size_t c = 1; c < N; ++c) r.rest[c - 1] = columns_[c][i];
            records[starts[digit.Of(Codec::Key(r.x))]++] = r;
        }
        SortBuckets(records.get(), starts, 0, [&](std::size_t start, std::size_t end) {
            SortRange(records.get() + start, scratch.get(), end - start, start, digit.shift, 1);
        });
    }

  private:
    // Sorts data[0, n), whose keys differ at most in their lowest differingBits, into the
    // columns from index at, using other[0, n) as room.
    void SortRange(Record<N>* data, Record<N>* other, std::size_t n, std::size_t at,
                   int differingBits, std::size_t level) {
        if (n <= kInsertionSortMax) {
            InsertionSort(data, n);
            Write(data, n, at);
            return;
        }
        std::vector<std::size_t>& starts = counts_[level];
        Digit digit = DigitFor(differingBits, n, kDigitBits);
        Count(data, n, digit, starts);
        if (starts[digit.Of(Codec::Key(data[0].x))] == n) {
            // All share these bits: find the ones in which they differ, if any.
            std::uint64_t lowest = ~std::uint64_t{0}, highest = 0;
            for (std::size_t i = 0; i < n; ++i) {
                const std::uint64_t key = Codec::Key(data[i].x);
                lowest = std::min(lowest, key);
                highest = std::max(highest, key);
            }
            if (lowest == highest) {
                Write(data, n, at);
                return;
            }
            digit = DigitFor(std::bit_width(lowest ^ highest), n, kDigitBits);
            Count(data, n, digit, starts);
        }
        StartsFromCounts(starts);
        for (std::size_t i = 0; i < n; ++i)
            other[starts[digit.Of(Codec::Key(data[i].x))]++] = data[i];
        SortBuckets(other, starts, at, [&](std::size_t start, std::size_t end) {
            SortRange(other + start, data + start, end - start, at + start, digit.shift, level + 1);
        });
    }

    static void Count(const Record<N>* data, std::size_t n, Digit digit,
                      std::vector<std::size_t>& counts) {
        counts.assign(digit.mask + 1, 0);
        for (std::size_t i = 0; i < n; ++i) ++counts[digit.Of(Codec::Key(data[i].x))];
    }

    // Sorts the distributed range data (bucket b ends at ends[b]) into the columns from index
    // at: small buckets in place by insertion, written out in runs; larger ones by sortLarge.
    template <class SortLarge>
    void SortBuckets(Record<N>* data, const std::vector<std::size_t>& ends, std::size_t at,
                     SortLarge sortLarge) {
        std::size_t start = 0, runStart = 0;
        for (const std::size_t end : ends) {
            if (end - start > kInsertionSortMax) {
                Write(data + runStart, start - runStart, at + runStart);
                sortLarge(start, end);
                runStart = end;
            } else {
                InsertionSort(data + start, end - start);
            }
            start = end;
        }
        Write(data + runStart, start - runStart, at + runStart);
    }

    static void InsertionSort(Record<N>* data, std::size_t n) {
        for (std::size_t i = 1; i < n; ++i) {
            const Record<N> r = data[i];
            const std::uint64_t key = Codec::Key(r.x);
            std::size_t j = i;
            for (; j > 0 && Codec::Key(data[j - 1].x) > key; --j) data[j] = data[j - 1];
            data[j] = r;
        }
    }

    void Write(const Record<N>* data, std::size_t n, std::size_t at) {
        double* x = columns_[0].data() + at;
        for (std::size_t i = 0; i < n; ++i) x[i] = Codec::X(data[i].x);
        for (std::size_t c = 1; c < N; ++c) {
            double* column = columns_[c].data() + at;
            for (std::size_t i = 0; i < n; ++i) column[i] = data[i].rest[c - 1];
        }
    }

    std::array<std::span<double>, N> columns_;
    std::array<std::vector<std::size_t>, kLevels> counts_;  // per level, kept between ranges
};

template <std::size_t N>
void SortColumns(const std::array<std::span<double>, N>& columns) {
    const std::span<double> x = columns[0];
    if (x.size() < 2) return;
    std::uint64_t lowest = ~std::uint64_t{0}, highest = 0;
    bool negativeZero = false;
    for (double v : x) {
        const std::uint64_t key = OrderedKey(v);
        lowest = std::min(lowest, key);
        highest = std::max(highest, key);
        negativeZero |= std::bit_cast<std::uint64_t>(v) == kSign;
    }
    if (lowest == highest) return;
    if (negativeZero)
        RadixSorter<N, XAsIs>(columns).Sort(lowest, highest);
    else
        RadixSorter<N, XAsKey>(columns).Sort(lowest, highest);
}

}  // namespace

void StableSortByX(std::span<double> x, std::span<double> y) {
    SortColumns<2>({x, y});
}

// Arrows carry three more columns. Sorting them as whole records would need 32 bytes a point
// at once; sorting X with each point's index (16) and then gathering the other columns one by
// one keeps the peak at 24, which is what keeps ten million arrows within the memory goal.
void StableSortByX(std::span<double> x, std::span<double> y, std::span<double> endX,
                   std::span<double> endY) {
    const std::size_t n = x.size();
    if (n < 2 || std::is_sorted(x.begin(), x.end())) return;
    std::vector<double> index(n);
    for (std::size_t i = 0; i < n; ++i) index[i] = static_cast<double>(i);
    SortColumns<2>({x, std::span<double>(index)});
    std::vector<double> gathered(n);
    for (const std::span<double> column : {y, endX, endY}) {
        for (std::size_t i = 0; i < n; ++i)
            gathered[i] = column[static_cast<std::size_t>(index[i])];
        std::copy(gathered.begin(), gathered.end(), column.begin());
    }
}

}  // namespace morvik::chart
