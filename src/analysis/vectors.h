#pragma once
// The data model of one analysis: data vectors and the data set record.

#include <cstddef>
#include <cstdint>

namespace morvik {

// One data vector: X then Y, 16 bytes, nothing else.
struct TVector {
    double X;
    double Y;
};
static_assert(sizeof(TVector) == 16);

// A growable array of data vectors. Storage grows in place where the system allows it
// (mremap), so a reading of n vectors never holds a second copy of the array.
class TVectors {
  public:
    TVectors() = default;
    ~TVectors();
    TVectors(const TVectors&) = delete;
    TVectors& operator=(const TVectors&) = delete;
    TVectors(TVectors&& other) noexcept;
    TVectors& operator=(TVectors&& other) noexcept;

    // Appends one vector; false (and nothing changed) when memory runs out.
    [[nodiscard]] bool TryAppend(TVector v) {
        if ((size_ + 1) * sizeof(TVector) > capacityBytes_) return TryAppendGrowing(v);
        data_[size_++] = v;
        return true;
    }
    // Releases the storage and allocates exactly n elements (contents unspecified);
    // false, leaving the array empty, when memory runs out.
    [[nodiscard]] bool TryAllocate(std::size_t n);
    // Appends all of other's vectors and empties other. Its pages are moved behind this
    // array's (mremap), not copied, so no vector is held twice and no memory is newly
    // touched. False, with both arrays unchanged, when memory runs out.
    [[nodiscard]] bool TryAppendAll(TVectors& other);
    // Empties the array and releases its storage.
    void Clear();

    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    TVector& operator[](std::size_t i) { return data_[i]; }
    const TVector& operator[](std::size_t i) const { return data_[i]; }
    TVector* begin() { return data_; }
    TVector* end() { return data_ + size_; }
    const TVector* begin() const { return data_; }
    const TVector* end() const { return data_ + size_; }
    // Bytes reserved from the system (for the memory benchmarks).
    std::size_t CapacityBytes() const { return capacityBytes_; }

  private:
    bool TryAppendGrowing(TVector v);
    void* TryGrow(std::size_t bytes);

    TVector* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacityBytes_ = 0;
};

// The data set record of the main window.
struct TData {
    TVectors Vectors;          // as read, in file order
    TVectors ZeroMeanVectors;  // Vectors less the dimension means (step 2)
    std::uint32_t Count = 0;   // number of vectors read
    bool Loaded = false;       // true once a file gave at least one vector
};

}  // namespace morvik
