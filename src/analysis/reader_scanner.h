#pragma once
// The vector loop of the data file reader, shared by files and bytes in memory. Private to
// the data file reader.
//
// A Source offers its bytes one window at a time, the end of data (the physical end or the
// first byte 26) already cut off:
//   const char* End() const;                 end of the current window
//   bool Refill(const char*& keep);          keeps [keep, End()) (at most one number), adds
//                                            more bytes after it and moves keep along; false
//                                            when no byte was added
//   bool Failed() const;                     true once reading from the system failed

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "analysis/data_reader.h"
#include "analysis/reader_number.h"
#include "analysis/vectors.h"

namespace morvik::reader {

// The count is an unsigned 32-bit number: one more vector is refused, not wrapped.
inline constexpr std::uint64_t kMaxVectorCount = 4294967295u;

template <class Source>
class TVectorScanner {
  public:
    TVectorScanner(Source& source, const char* begin) : source_(source), p_(begin) {
        end_ = source_.End();
    }

    ReadResult ReadAll(TVectors& vectors, std::uint64_t maxCount = kMaxVectorCount) {
        std::uint64_t count = 0;
        for (;;) {
            // The end test looks for any byte at all, blanks included.
            if (p_ == end_ && !Refill(p_)) {
                if (source_.Failed()) return Invalid(count + 1);
                return {};
            }
            // The element exists before its numbers are read: memory runs out before a
            // number can be found invalid.
            if (count == maxCount || !vectors.TryAppend({0, 0})) {
                return {ReadOutcome::OutOfMemory, 0};
            }
            TVector& vector = vectors[count];
            ++count;
            if (!ReadNumber(vector.X) || !ReadNumber(vector.Y) || !SkipRestOfLine()) {
                return Invalid(count);
            }
        }
    }

    // True when the end of data was met inside a vector (a number sought or cut off there,
    // or a line end sought there), not only by the end test before a vector.
    bool EndedInsideVector() const { return endedInsideVector_; }

  private:
    static ReadResult Invalid(std::uint64_t vectorNumber) {
        return {ReadOutcome::InvalidNumber,
                static_cast<std::uint32_t>(std::min<std::uint64_t>(vectorNumber, 0xFFFFFFFFu))};
    }

    static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

    bool Refill(const char*& keep) {
        const bool added = source_.Refill(keep);
        end_ = source_.End();
        return added;
    }

    // Skips blanks to the next number and converts it; a number sought when only blanks
    // remain is 0. False for an invalid number or a failed read.
    bool ReadNumber(double& value) {
        for (;;) {
            while (p_ != end_ && IsBlank(*p_)) ++p_;
            if (p_ != end_) break;
            if (!Refill(p_)) {
                endedInsideVector_ = true;
                value = 0;
                return !source_.Failed();
            }
        }
        if (end_ - p_ > kMaxNumberLength) {
            // The whole run is in the window: read it in one pass. The number ends at a blank
            // or after 64 characters; any other character stopping it is invalid.
            const char* limit = p_ + kMaxNumberLength;
            return ReadNumberPrefix(p_, limit, value) && (p_ == limit || IsBlank(*p_));
        }
        const char* start = p_;
        const char* limit = std::min(end_, start + kMaxNumberLength);
        for (;;) {
            while (p_ != limit && !IsBlank(*p_)) ++p_;
            if (p_ != end_ || p_ - start == kMaxNumberLength) break;
            // The number runs into the end of the window: keep it and read on.
            const std::ptrdiff_t length = p_ - start;
            const bool added = Refill(start);
            p_ = start + length;
            if (!added) {
                endedInsideVector_ = true;
                if (source_.Failed()) return false;
                break;
            }
            limit = std::min(end_, start + kMaxNumberLength);
        }
        return ParseNumber(start, p_, value);
    }

    // Skips everything up to and including the next LF (which also ends a CR LF line end).
    bool SkipRestOfLine() {
        // Most lines end right after Y: look at a few bytes before calling memchr.
        for (const char* near = std::min(end_, p_ + 4); p_ != near;) {
            if (*p_++ == '\n') return true;
        }
        for (;;) {
            const void* lf = std::memchr(p_, '\n', static_cast<std::size_t>(end_ - p_));
            if (lf != nullptr) {
                p_ = static_cast<const char*>(lf) + 1;
                return true;
            }
            p_ = end_;
            if (!Refill(p_)) {
                endedInsideVector_ = true;
                return !source_.Failed();
            }
        }
    }

    Source& source_;
    const char* p_;
    const char* end_;
    bool endedInsideVector_ = false;
};

// Bytes already in memory, cut at the first byte 26.
class TMemorySource {
  public:
    TMemorySource(const char* begin, const char* end) : end_(end) {
        if (begin == end) return;  // an empty view may have no address at all
        const void* eof = std::memchr(begin, 26, static_cast<std::size_t>(end - begin));
        if (eof != nullptr) end_ = static_cast<const char*>(eof);
    }
    const char* End() const { return end_; }
    bool Refill(const char*&) { return false; }
    bool Failed() const { return false; }

  private:
    const char* end_;
};

}  // namespace morvik::reader
