#include "analysis/reader_file_source.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "analysis/reader_number.h"

namespace morvik::reader {

// Room for one chunk after a number carried over from the previous chunk.
TFileSource::TFileSource(int fd, std::size_t chunkSize, std::uint64_t offset, std::uint64_t limit)
    : fd_(fd),
      chunkSize_(chunkSize),
      offset_(offset),
      limit_(std::max(offset, limit)),
      buffer_(new char[chunkSize + kMaxNumberLength]),
      end_(buffer_.get()) {}

bool TFileSource::Refill(const char*& keep) {
    char* const buffer = buffer_.get();
    const std::size_t kept = static_cast<std::size_t>(end_ - keep);
    if (kept != 0 && keep != buffer) std::memmove(buffer, keep, kept);
    keep = buffer;
    end_ = buffer + kept;
    if (ended_ || failed_) return false;
    if (offset_ == limit_) {
        ended_ = true;
        return false;
    }

    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(chunkSize_, limit_ - offset_));
    ssize_t got;
    do {
        got = pread(fd_, buffer + kept, wanted, static_cast<off_t>(offset_));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        failed_ = true;
        return false;
    }
    if (got == 0) {
        ended_ = true;
        return false;
    }
    offset_ += static_cast<std::uint64_t>(got);
    char* const fresh = buffer + kept;
    const void* eof = std::memchr(fresh, 26, static_cast<std::size_t>(got));
    if (eof != nullptr) {
        ended_ = true;
        cut_ = true;
        end_ = static_cast<const char*>(eof);
        return end_ != fresh;
    }
    end_ = fresh + got;
    return true;
}

}  // namespace morvik::reader
