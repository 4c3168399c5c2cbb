#include "chart/model/stable_order.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>
#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "parallel/two_parts.h"

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

// Blocks asked of a source that writes straight into the columns.
constexpr std::size_t kBlockSize = 512;

// What one pass over the X values tells before sorting.
struct XSurvey {
    std::uint64_t lowestKey = ~std::uint64_t{0}, highestKey = 0;
    bool negativeZero = false;
    bool nan = false;
    bool ascending = true;
    bool empty = true;
    double firstX = 0, lastX = 0;  // of the points surveyed, when there are any

    // The survey of these points followed by those of next.
    XSurvey FollowedBy(const XSurvey& next) const {
        if (empty) return next;
        if (next.empty) return *this;
        XSurvey both = *this;
        both.lowestKey = std::min(lowestKey, next.lowestKey);
        both.highestKey = std::max(highestKey, next.highestKey);
        both.negativeZero |= next.negativeZero;
        both.nan |= next.nan;
        both.ascending = ascending && next.ascending && !(next.firstX < lastX);
        both.lastX = next.lastX;
        return both;
    }
};

template <std::size_t N>
XSurvey SurveyX(const PointSource<N>& source, std::size_t begin, std::size_t end) {
    XSurvey survey;
    survey.empty = begin == end;
    double last = -std::numeric_limits<double>::infinity();
    bool atBegin = true;
    ForEachBlock(source, begin, end, [&](std::size_t count, const std::array<double*, N>& block) {
        if (atBegin) survey.firstX = block[0][0];
        atBegin = false;
        for (std::size_t k = 0; k < count; ++k) {
            const double v = block[0][k];
            if (v != v) {
                survey.nan = true;
                continue;
            }
            const std::uint64_t key = OrderedKey(v);
            survey.lowestKey = std::min(survey.lowestKey, key);
            survey.highestKey = std::max(survey.highestKey, key);
            survey.negativeZero |= std::bit_cast<std::uint64_t>(v) == kSign;
            survey.ascending &= !(v < last);
            last = v;
        }
    });
    survey.lastX = last;
    return survey;
}

// A most-significant-digit radix sort: each pass distributes a range by the highest bits in
// which its keys differ, in order of appearance (so it is stable), and the buckets are sorted
// in turn. The first pass (SortedCopy below) distributes the source's points straight into the
// columns; this sorts its buckets, each as records (X and the other values side by side) in
// room the size of the largest bucket, and writes them back. So no second copy of all points
// is ever held, unless one bucket holds most of them. Ranges of equal keys are done at once.
template <std::size_t N, class Codec>
class RadixSorter {
  public:
    explicit RadixSorter(const std::array<std::span<double>, N>& columns) : columns_(columns) {}

    // Sorts each of the ranges [start, ends[0]), [ends[0], ends[1]), ... of the columns.
    void SortRanges(std::size_t start, std::span<const std::size_t> ends) {
        std::size_t largest = 0;
        for (std::size_t from = start; const std::size_t end : ends) {
            largest = std::max(largest, end - from);
            from = end;
        }
        const auto records = UninitialisedArray<Record<N>>(largest);
        const auto scratch = UninitialisedArray<Record<N>>(largest);
        for (const std::size_t end : ends) {
            if (end - start > 1) {
                const std::uint64_t differing = Read(start, end - start, records.get());
                // A range of equal keys is in order already.
                if (differing != 0) {
                    SortRange(records.get(), scratch.get(), end - start, start,
                              std::bit_width(differing), 0);
                }
            }
            start = end;
        }
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

    // Copies points [at, at + n) of the columns into data; returns the bits in which their
    // keys differ.
    std::uint64_t Read(std::size_t at, std::size_t n, Record<N>* data) const {
        std::uint64_t lowest = ~std::uint64_t{0}, highest = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double x = columns_[0][at + i];
            const std::uint64_t key = OrderedKey(x);
            lowest = std::min(lowest, key);
            highest = std::max(highest, key);
            data[i].x = Codec::Hold(x);
            for (std::size_t c = 1; c < N; ++c) data[i].rest[c - 1] = columns_[c][at + i];
        }
        return lowest ^ highest;
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

// The first pass of the radix sort, by the highest bits in which the keys of all points differ
// (so data of one sign and scale fill few of its buckets, which keeps its writes close
// together), straight from the source into the columns; then the sort of every bucket. Large
// inputs are done in two parts on two threads: each counts and distributes half of the points
// (the second half's points go behind the first half's in every bucket, which keeps the order
// stable), then each sorts the buckets that hold about half of the points.
template <std::size_t N, class Codec>
void DistributeAndSort(std::size_t n, const PointSource<N>& source,
                       const std::array<std::span<double>, N>& columns, Digit digit,
                       bool parallel) {
    std::array<std::vector<std::size_t>, 2> next;
    RunInTwoParts(parallel, [&](int part) {
        std::vector<std::size_t>& counts = next[static_cast<std::size_t>(part)];
        counts.assign(digit.mask + 1, 0);
        ForEachBlock(source, PartBegin(n, part), PartEnd(n, part),
                     [&](std::size_t count, const std::array<double*, N>& block) {
                         for (std::size_t k = 0; k < count; ++k)
                             ++counts[digit.Of(OrderedKey(block[0][k]))];
                     });
    });
    // Bucket b: the first half's points from next[0][b], the second half's from next[1][b],
    // ending at ends[b].
    std::vector<std::size_t> ends(digit.mask + 1);
    std::size_t middle = 0;  // the first bucket of the second half
    for (std::size_t b = 0, offset = 0; b < ends.size(); ++b) {
        const std::size_t first = next[0][b], second = next[1][b];
        next[0][b] = offset;
        next[1][b] = offset + first;
        offset += first + second;
        ends[b] = offset;
        if (offset <= n / 2) middle = b + 1;
    }
    RunInTwoParts(parallel, [&](int part) {
        std::vector<std::size_t>& at = next[static_cast<std::size_t>(part)];
        ForEachBlock(source, PartBegin(n, part), PartEnd(n, part),
                     [&](std::size_t count, const std::array<double*, N>& block) {
                         for (std::size_t k = 0; k < count; ++k) {
                             const std::size_t to = at[digit.Of(OrderedKey(block[0][k]))]++;
                             for (std::size_t c = 0; c < N; ++c) columns[c][to] = block[c][k];
                         }
                     });
    });
    RunInTwoParts(parallel, [&](int part) {
        const std::span<const std::size_t> all(ends);
        if (part == 0)
            RadixSorter<N, Codec>(columns).SortRanges(0, all.first(middle));
        else if (middle < all.size())
            RadixSorter<N, Codec>(columns).SortRanges(middle == 0 ? 0 : all[middle - 1],
                                                      all.subspan(middle));
    });
}

template <std::size_t N>
bool SortedCopy(std::size_t n, const PointSource<N>& source,
                const std::array<std::span<double>, N>& columns) {
    const bool parallel = n >= kTwoPartsMinimum;
    std::array<XSurvey, 2> parts;
    RunInTwoParts(parallel, [&](int part) {
        parts[static_cast<std::size_t>(part)] =
            SurveyX(source, PartBegin(n, part), PartEnd(n, part));
    });
    const XSurvey survey = parts[0].FollowedBy(parts[1]);
    if (survey.nan) return false;
    if (survey.ascending) {
        for (std::size_t first = 0; first < n; first += kBlockSize) {
            std::array<double*, N> at;
            for (std::size_t c = 0; c < N; ++c) at[c] = columns[c].data() + first;
            source(first, std::min(kBlockSize, n - first), at);
        }
        return true;
    }
    const Digit digit =
        DigitFor(std::bit_width(survey.lowestKey ^ survey.highestKey), n, kFirstDigitBits);
    if (survey.negativeZero)
        DistributeAndSort<N, XAsIs>(n, source, columns, digit, parallel);
    else
        DistributeAndSort<N, XAsKey>(n, source, columns, digit, parallel);
    return true;
}

// In place: the points are sorted from a copy of the columns.
template <std::size_t N>
void SortInPlace(const std::array<std::span<double>, N>& columns) {
    const std::span<double> x = columns[0];
    if (std::is_sorted(x.begin(), x.end())) return;
    std::array<std::vector<double>, N> copies;
    for (std::size_t c = 0; c < N; ++c) copies[c].assign(columns[c].begin(), columns[c].end());
    const PointSource<N> source = [&](std::size_t first, std::size_t count,
                                      const std::array<double*, N>& block) {
        for (std::size_t c = 0; c < N; ++c) std::copy_n(copies[c].data() + first, count, block[c]);
    };
    SortedCopy(x.size(), source, columns);
}

}  // namespace

void StableSortByX(std::span<double> x, std::span<double> y) {
    SortInPlace<2>({x, y});
}

void StableSortByX(std::span<double> x, std::span<double> y, std::span<double> endX,
                   std::span<double> endY) {
    SortInPlace<4>({x, y, endX, endY});
}

bool StableSortedCopy(std::size_t n, const PointSource<2>& source,
                      const std::array<std::span<double>, 2>& columns) {
    return SortedCopy(n, source, columns);
}

bool StableSortedCopy(std::size_t n, const PointSource<4>& source,
                      const std::array<std::span<double>, 4>& columns) {
    return SortedCopy(n, source, columns);
}

}  // namespace morvik::chart
