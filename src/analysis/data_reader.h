#pragma once
// The data file reader: 8-bit text, blanks are the codes 0..32, one X Y vector per line,
// the data ending at the physical end or at the first byte 26.

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/vectors.h"

namespace morvik {

enum class ReadOutcome {
    Ok,             // every vector read (possibly none)
    CannotOpen,     // empty path, missing, unreadable, or not a regular file
    InvalidNumber,  // an invalid number or a failing read; see FailedVector
    OutOfMemory,    // no memory for one more vector (or more than 2^32 - 1 vectors)
};

struct ReadResult {
    ReadOutcome Outcome = ReadOutcome::Ok;
    std::uint32_t FailedVector = 0;  // one-based number of the vector being read (InvalidNumber)
};

// Reads the file at path into vectors (emptied first). On any outcome but Ok the contents of
// vectors are unspecified. Never blocks on FIFOs or devices: anything that is not a regular
// file cannot be opened.
ReadResult ReadDataFile(const std::string& path, TVectors& vectors);

// The same rules applied to bytes already in memory.
ReadResult ParseData(std::string_view bytes, TVectors& vectors);

}  // namespace morvik
