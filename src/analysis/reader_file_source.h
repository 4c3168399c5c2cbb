#pragma once
// Reads an open data file in large chunks for the vector loop, cutting the data at the first
// byte 26. Private to the data file reader.
//
// The file is read with read(), not mapped: a file that shrinks while it is mapped would
// fault on access, while read() simply sees the end sooner.

#include <cstddef>
#include <memory>

namespace morvik::reader {

class TFileSource {
  public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << 20;

    // fd stays owned by the caller. Throws std::bad_alloc when the buffer cannot be had.
    // Smaller chunks are for tests, to put chunk boundaries everywhere.
    explicit TFileSource(int fd, std::size_t chunkSize = kChunkSize);

    const char* Begin() const { return buffer_.get(); }
    const char* End() const { return end_; }
    bool Refill(const char*& keep);
    bool Failed() const { return failed_; }

  private:
    int fd_;
    std::size_t chunkSize_;
    std::unique_ptr<char[]> buffer_;
    const char* end_;
    bool ended_ = false;   // end of file or byte 26 seen: nothing more is read
    bool failed_ = false;  // a read failed
};

}  // namespace morvik::reader
