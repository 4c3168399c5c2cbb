#include "analysis/vectors.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

// Takes bytes (more than now) for the array: in place or by moving page tables, which costs
// no copy. An array that TryAppendAll put together may span mappings that mremap cannot take
// as one; it gets a new mapping and a copy. Returns the new address or nullptr.
void* TVectors::TryGrow(std::size_t bytes) {
    if (data_ == nullptr) return MapAnonymous(bytes);
    void* grown = mremap(data_, capacityBytes_, bytes, MREMAP_MAYMOVE);
    if (grown != MAP_FAILED) return grown;
    if (errno != EFAULT) return nullptr;
    grown = MapAnonymous(bytes);
    if (grown == nullptr) return nullptr;
    std::memcpy(grown, data_, size_ * sizeof(TVector));
    munmap(data_, capacityBytes_);
    return grown;
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
        grown = TryGrow(bytes);
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

// other's pages go to the first page boundary behind this array's vectors; the gap before
// them, less than a page, is then closed by moving the vectors down within the pages.
bool TVectors::TryAppendAll(TVectors& other) {
    if (other.size_ == 0) {
        other.Clear();
        return true;
    }
    if (size_ == 0) {
        *this = std::move(other);
        return true;
    }
    const std::size_t usedBytes = size_ * sizeof(TVector);
    const std::size_t otherStart = RoundUpToPages(usedBytes);
    if (otherStart == 0 ||
        other.capacityBytes_ > std::numeric_limits<std::size_t>::max() - otherStart) {
        return false;
    }
    const std::size_t bytes = otherStart + other.capacityBytes_;
    if (bytes > capacityBytes_) {
        void* grown = TryGrow(bytes);
        if (grown == nullptr) return false;
        data_ = static_cast<TVector*>(grown);
        capacityBytes_ = bytes;
    }
    char* const base = reinterpret_cast<char*>(data_);
    void* const moved = mremap(other.data_, other.capacityBytes_, other.capacityBytes_,
                               MREMAP_MAYMOVE | MREMAP_FIXED, base + otherStart);
    if (moved == MAP_FAILED) return false;
    const std::size_t otherBytes = other.size_ * sizeof(TVector);
    if (otherStart != usedBytes) std::memmove(base + usedBytes, base + otherStart, otherBytes);
    size_ += other.size_;
    other.data_ = nullptr;
    other.size_ = 0;
    other.capacityBytes_ = 0;
    return true;
}

}  // namespace morvik
