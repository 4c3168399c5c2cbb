#pragma once
// Reads an open data file in large chunks for the vector loop, cutting the data at the first
// byte 26. Private to the data file reader.
//
// The file is read with pread(), not mapped: a file that shrinks while it is mapped would
// fault on access, while pread() simply sees the end sooner. pread() also lets two sources
// read two parts of one descriptor at once.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>

namespace morvik::reader {

class TFileSource {
  public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << 20;
    static constexpr std::uint64_t kToEndOfFile = std::numeric_limits<std::uint64_t>::max();

    // fd stays owned by the caller. Throws std::bad_alloc when the buffer cannot be had.
    // Smaller chunks are for tests, to put chunk boundaries everywhere. The bytes read are
    // [offset, limit) of the file, fewer when the file ends sooner.
    explicit TFileSource(int fd, std::size_t chunkSize = kChunkSize, std::uint64_t offset = 0,
                         std::uint64_t limit = kToEndOfFile);

    const char* Begin() const { return buffer_.get(); }
    const char* End() const { return end_; }
    bool Refill(const char*& keep);
    bool Failed() const { return failed_; }
    // True once every byte up to the limit was read without meeting a byte 26.
    bool ReachedLimit() const { return offset_ == limit_ && !cut_ && !failed_; }

  private:
    int fd_;
    std::size_t chunkSize_;
    std::uint64_t offset_;
    std::uint64_t limit_;
    std::unique_ptr<char[]> buffer_;
    const char* end_;
    bool ended_ = false;   // limit, end of file or byte 26 seen: nothing more is read
    bool cut_ = false;     // a byte 26 ended the data
    bool failed_ = false;  // a read failed
};

}  // namespace morvik::reader
