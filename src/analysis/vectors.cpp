#include "analysis/vectors.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <limits>
#include <utility>

namespace morvik {

namespace {

constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

std::size_t PageSize() {
    static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

// Rounds up to whole pages; 0 when the result would not fit in size_t.
std::size_t RoundUpToPages(std::size_t bytes) {
    const std::size_t page = PageSize();
    if (bytes > std::numeric_limits<std::size_t>::max() - (page - 1)) return 0;
    return (bytes + page - 1) / page * page;
}

void* MapAnonymous(std::size_t bytes) {
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

}  // namespace

TVectors::~TVectors() {
    Clear();
}

TVectors::TVectors(TVectors&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacityBytes_(std::exchange(other.capacityBytes_, 0)) {}

TVectors& TVectors::operator=(TVectors&& other) noexcept {
    if (this != &other) {
        Clear();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacityBytes_ = std::exchange(other.capacityBytes_, 0);
    }
    return *this;
}

void TVectors::Clear() {
    if (data_ != nullptr) munmap(data_, capacityBytes_);
    data_ = nullptr;
    size_ = 0;
    capacityBytes_ = 0;
}

bool TVectors::TryAllocate(std::size_t n) {
    Clear();
    if (n == 0) return true;
    if (n > std::numeric_limits<std::size_t>::max() / sizeof(TVector)) return false;
    const std::size_t bytes = RoundUpToPages(n * sizeof(TVector));
    if (bytes == 0) return false;
    void* p = MapAnonymous(bytes);
    if (p == nullptr) return false;
    data_ = static_cast<TVector*>(p);
    size_ = n;
    capacityBytes_ = bytes;
    return true;
}

// Grows by a quarter: the reserve stays well below half the stored size, and growing in place
// or by moving page tables costs no copy, so small steps are cheap. When that much is not
// available, settles for less, down to a single page.
bool TVectors::TryAppendGrowing(TVector v) {
    const std::size_t page = PageSize();
    std::size_t extra = std::max(RoundUpToPages(capacityBytes_ / 4), page);
    void* grown = nullptr;
    for (; grown == nullptr && extra >= page; extra = extra / 2 / page * page) {
        if (capacityBytes_ > std::numeric_limits<std::size_t>::max() - extra) continue;
        const std::size_t bytes = capacityBytes_ + extra;
        grown = data_ == nullptr ? MapAnonymous(bytes)
                                 : mremap(data_, capacityBytes_, bytes, MREMAP_MAYMOVE);
        if (grown == MAP_FAILED) grown = nullptr;
        if (grown != nullptr) capacityBytes_ = bytes;
    }
    // Large arrays take transparent huge pages where the system offers them: far fewer page
    // faults while a big file is read. Only touched 2 MiB blocks that lie wholly inside the
    // mapping become resident, so the reserve still costs nothing until it is used.
    if (grown != nullptr && capacityBytes_ >= kHugePageBytes) {
        madvise(grown, capacityBytes_, MADV_HUGEPAGE);
    }
    if (grown == nullptr) return false;
    data_ = static_cast<TVector*>(grown);
    data_[size_++] = v;
    return true;
}

}  // namespace morvik
