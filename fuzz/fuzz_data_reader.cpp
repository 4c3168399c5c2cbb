// Fuzzes the data file reader: any bytes must give either finite vectors or one of the
// failure outcomes, without a crash or a sanitizer report. The same bytes are also read
// through the file path from a memory file in small chunks (the chunk size taken from the
// first input byte), which must give exactly the result of the reading from memory: a
// number or line end split across chunks must not change anything. A third reading takes
// the two-thread path, the file split at the first LF after its middle.

#include <sys/mman.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "analysis/data_reader.h"
#include "analysis/reader_file_source.h"
#include "analysis/reader_parallel.h"
#include "analysis/reader_scanner.h"

namespace {

using morvik::ReadOutcome;
using morvik::ReadResult;
using morvik::TVectors;

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckResult(const ReadResult& result, const TVectors& vectors, std::size_t size) {
    switch (result.Outcome) {
        case ReadOutcome::Ok:
            // A vector needs at least one byte.
            Require(vectors.Size() <= size);
            for (const morvik::TVector& v : vectors) {
                Require(std::isfinite(v.X) && std::isfinite(v.Y));
            }
            break;
        case ReadOutcome::InvalidNumber:
            Require(result.FailedVector >= 1 && result.FailedVector <= size);
            break;
        case ReadOutcome::OutOfMemory:
        case ReadOutcome::CannotOpen:
            Require(false);  // neither can happen for a few kilobytes in memory
            break;
        default:
            Require(false);
    }
}

bool SameVectors(const TVectors& a, const TVectors& b) {
    if (a.Size() != b.Size()) return false;
    for (std::size_t i = 0; i < a.Size(); ++i) {
        if (std::bit_cast<std::uint64_t>(a[i].X) != std::bit_cast<std::uint64_t>(b[i].X) ||
            std::bit_cast<std::uint64_t>(a[i].Y) != std::bit_cast<std::uint64_t>(b[i].Y)) {
            return false;
        }
    }
    return true;
}

int MemoryFile(const std::uint8_t* data, std::size_t size) {
    static const int fd = memfd_create("fuzz_data_reader", MFD_CLOEXEC);
    Require(fd >= 0);
    Require(ftruncate(fd, 0) == 0);
    Require(pwrite(fd, data, size, 0) == static_cast<ssize_t>(size));
    Require(lseek(fd, 0, SEEK_SET) == 0);
    return fd;
}

ReadResult ReadInChunks(int fd, std::size_t chunk, TVectors& vectors) {
    morvik::reader::TFileSource source(fd, chunk);
    morvik::reader::TVectorScanner scanner(source, source.Begin());
    return scanner.ReadAll(vectors);
}

void RequireSame(const ReadResult& result, const TVectors& vectors, const ReadResult& expected,
                 const TVectors& expectedVectors) {
    Require(result.Outcome == expected.Outcome);
    Require(result.FailedVector == expected.FailedVector);
    if (expected.Outcome == ReadOutcome::Ok) Require(SameVectors(vectors, expectedVectors));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TVectors fromMemory;
    const ReadResult memoryResult = morvik::ParseData(bytes, fromMemory);
    CheckResult(memoryResult, fromMemory, size);

    const std::size_t chunk = size == 0 ? 1 : 1 + data[0] % 97;
    const int fd = MemoryFile(data, size);
    TVectors fromFile;
    RequireSame(ReadInChunks(fd, chunk, fromFile), fromFile, memoryResult, fromMemory);

    TVectors inTwoParts;
    const morvik::reader::TReadSettings twoParts{1, chunk, morvik::reader::kMaxVectorCount};
    RequireSame(morvik::reader::ReadOpenFile(fd, size, inTwoParts, twoParts), inTwoParts,
                memoryResult, fromMemory);
    return 0;
}
