#include "analysis/data_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

#include "analysis/reader_parallel.h"
#include "analysis/reader_scanner.h"

namespace morvik {

namespace {

// Closes the data file on every way out of the reading.
class TFileDescriptor {
  public:
    explicit TFileDescriptor(int fd) : fd_(fd) {}
    ~TFileDescriptor() {
        if (fd_ >= 0) close(fd_);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

ReadResult ReadDataFile(const std::string& path, TVectors& vectors) {
    vectors.Clear();
    if (path.empty()) return {ReadOutcome::CannotOpen, 0};
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused just below.
    const TFileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0) return {ReadOutcome::CannotOpen, 0};
    struct stat status {};
    if (fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return {ReadOutcome::CannotOpen, 0};
    }
    posix_fadvise(file.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    try {
        return reader::ReadOpenFile(file.Get(), static_cast<std::uint64_t>(status.st_size),
                                    vectors);
    } catch (const std::bad_alloc&) {
        return {ReadOutcome::OutOfMemory, 0};
    }
}

ReadResult ParseData(std::string_view bytes, TVectors& vectors) {
    vectors.Clear();
    const char* begin = bytes.data();
    reader::TMemorySource source(begin, begin + bytes.size());
    reader::TVectorScanner scanner(source, begin);
    return scanner.ReadAll(vectors);
}

}  // namespace morvik
