#pragma once
// Reading of an open data file, large files in two parts on two threads. Private to the data
// file reader.
//
// The second part starts at a line start near the middle and is read as if a vector began
// there. That guess holds exactly when the reading of the first part, arriving at the split,
// stands before its end test with nothing of a vector begun: no number or line end was still
// sought when its bytes ran out. The result is then the first part's vectors followed by the
// second's. When the guess fails, or memory runs short, the file is read again from the start
// on one thread, so every outcome is the one-thread outcome.

#include <cstddef>
#include <cstdint>

#include "analysis/data_reader.h"
#include "analysis/reader_file_source.h"
#include "analysis/reader_scanner.h"
#include "analysis/vectors.h"

namespace morvik::reader {

struct TReadSettings {
    // Files at least this large are read in two parts (smaller in tests).
    std::uint64_t SplitThreshold = std::uint64_t{16} << 20;
    std::size_t ChunkSize = TFileSource::kChunkSize;
    std::uint64_t MaxCount = kMaxVectorCount;
};

// Reads the regular file fd of the given size (as found before reading) into vectors.
// Throws std::bad_alloc only when not even the one-thread reading can have its buffer.
ReadResult ReadOpenFile(int fd, std::uint64_t size, TVectors& vectors,
                        const TReadSettings& settings = {});

// The two-part reading with the second part starting at split, which must directly follow a
// LF of the file. Used by ReadOpenFile; open to tests so that they can place the split.
ReadResult ReadInTwoParts(int fd, std::uint64_t split, TVectors& vectors,
                          const TReadSettings& settings);

}  // namespace morvik::reader
