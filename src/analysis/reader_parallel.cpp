#include "analysis/reader_parallel.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <stop_token>
#include <system_error>
#include <thread>
#include <utility>

namespace morvik::reader {

namespace {

// A source that stops adding bytes once the reading of the first part has made the second
// part's result useless, so that the second thread is not waited for in vain.
class TStoppableFileSource {
  public:
    TStoppableFileSource(TFileSource& source, std::stop_token stop)
        : source_(source), stop_(std::move(stop)) {}
    const char* End() const { return source_.End(); }
    bool Refill(const char*& keep) { return !stop_.stop_requested() && source_.Refill(keep); }
    bool Failed() const { return source_.Failed(); }

  private:
    TFileSource& source_;
    std::stop_token stop_;
};

struct TPartResult {
    ReadResult Result;
    bool ReachedSplit = false;       // every byte before the split was read, no byte 26
    bool EndedInsideVector = false;  // a vector was still open at the end of the bytes
};

ReadResult ReadSequentially(int fd, TVectors& vectors, const TReadSettings& settings) {
    vectors.Clear();
    TFileSource source(fd, settings.ChunkSize);
    TVectorScanner scanner(source, source.Begin());
    return scanner.ReadAll(vectors, settings.MaxCount);
}

TPartResult ReadFirstPart(int fd, std::uint64_t split, TVectors& vectors,
                          const TReadSettings& settings) {
    TPartResult part;
    try {
        TFileSource source(fd, settings.ChunkSize, 0, split);
        TVectorScanner scanner(source, source.Begin());
        part.Result = scanner.ReadAll(vectors, settings.MaxCount);
        part.ReachedSplit = source.ReachedLimit();
        part.EndedInsideVector = scanner.EndedInsideVector();
    } catch (const std::bad_alloc&) {
        part.Result = {ReadOutcome::OutOfMemory, 0};
    }
    return part;
}

ReadResult ReadSecondPart(int fd, std::uint64_t split, TVectors& vectors,
                          const TReadSettings& settings, std::stop_token stop) noexcept {
    try {
        TFileSource file(fd, settings.ChunkSize, split);
        TStoppableFileSource source(file, std::move(stop));
        TVectorScanner scanner(source, file.Begin());
        return scanner.ReadAll(vectors, settings.MaxCount);
    } catch (...) {
        return {ReadOutcome::OutOfMemory, 0};
    }
}

// The offset just after the first LF at or after the middle; 0 when there is none before
// the last byte (or the search cannot read), which leaves the file to one thread.
std::uint64_t FindSplit(int fd, std::uint64_t size) {
    char buffer[4096];
    for (std::uint64_t offset = size / 2; offset < size;) {
        ssize_t got;
        do {
            got = pread(fd, buffer, sizeof buffer, static_cast<off_t>(offset));
        } while (got < 0 && errno == EINTR);
        if (got <= 0) return 0;
        const void* lf = std::memchr(buffer, '\n', static_cast<std::size_t>(got));
        if (lf != nullptr) {
            const std::uint64_t split =
                offset + static_cast<std::uint64_t>(static_cast<const char*>(lf) - buffer) + 1;
            return split < size ? split : 0;
        }
        offset += static_cast<std::uint64_t>(got);
    }
    return 0;
}

// The vector numbered within the second part, renumbered for the whole file: the one-thread
// reading would have refused it for the count limit before reading it.
ReadResult Renumbered(const ReadResult& second, std::uint64_t firstCount,
                      const TReadSettings& settings) {
    const std::uint64_t number = firstCount + second.FailedVector;
    if (number > settings.MaxCount) return {ReadOutcome::OutOfMemory, 0};
    return {ReadOutcome::InvalidNumber,
            static_cast<std::uint32_t>(std::min<std::uint64_t>(number, 0xFFFFFFFFu))};
}

}  // namespace

ReadResult ReadInTwoParts(int fd, std::uint64_t split, TVectors& vectors,
                          const TReadSettings& settings) {
    vectors.Clear();
    TVectors secondVectors;
    ReadResult second;
    TPartResult first;
    {
        std::jthread worker;
        try {
            worker = std::jthread([&](std::stop_token stop) {
                second = ReadSecondPart(fd, split, secondVectors, settings, std::move(stop));
            });
        } catch (const std::system_error&) {
            return ReadSequentially(fd, vectors, settings);
        }
        first = ReadFirstPart(fd, split, vectors, settings);
        // Only a first part read to the split, ending between vectors, is continued by the
        // second: otherwise the second thread's work is not needed.
        if (first.Result.Outcome != ReadOutcome::Ok || !first.ReachedSplit ||
            first.EndedInsideVector) {
            worker.request_stop();
        }
        // Joined here, not by the destructor, which would ask the thread to stop.
        worker.join();
    }

    switch (first.Result.Outcome) {
        case ReadOutcome::Ok:
            break;
        case ReadOutcome::InvalidNumber:
            // The failing vector lies wholly before the split: the split line end ends it.
            return first.Result;
        default:
            // Memory may have run out only because the second part took its share.
            secondVectors.Clear();
            return ReadSequentially(fd, vectors, settings);
    }
    // The data ended before the split (a byte 26, or the file is shorter than it was).
    if (!first.ReachedSplit) return first.Result;
    if (first.EndedInsideVector) {
        secondVectors.Clear();
        return ReadSequentially(fd, vectors, settings);
    }

    const std::uint64_t firstCount = vectors.Size();
    switch (second.Outcome) {
        case ReadOutcome::Ok:
            if (firstCount + secondVectors.Size() > settings.MaxCount) {
                return {ReadOutcome::OutOfMemory, 0};
            }
            if (vectors.TryAppendAll(secondVectors)) return {};
            break;
        case ReadOutcome::InvalidNumber:
            return Renumbered(second, firstCount, settings);
        default:
            break;
    }
    secondVectors.Clear();
    return ReadSequentially(fd, vectors, settings);
}

ReadResult ReadOpenFile(int fd, std::uint64_t size, TVectors& vectors,
                        const TReadSettings& settings) {
    if (size >= settings.SplitThreshold) {
        const std::uint64_t split = FindSplit(fd, size);
        if (split != 0) return ReadInTwoParts(fd, split, vectors, settings);
    }
    return ReadSequentially(fd, vectors, settings);
}

}  // namespace morvik::reader
