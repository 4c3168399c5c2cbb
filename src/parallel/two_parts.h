#pragma once
// Work on large arrays split into two halves, the second half on a thread of its own: the
// machines this runs on have at least two cores, and the heavy loops of the program (sorting
// a series, the frames of the animations) take each element on its own.

#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>

namespace morvik {

// Below this many elements one thread does all: starting a second costs more than it saves.
inline constexpr std::size_t kTwoPartsMinimum = std::size_t{1} << 16;

// Where the first half (part index 0) and the second (index 1) of n elements begin and end.
inline std::size_t PartBegin(std::size_t n, int part) {
    return part == 0 ? 0 : n / 2;
}
inline std::size_t PartEnd(std::size_t n, int part) {
    return part == 0 ? n / 2 : n;
}

// Runs work(0) and work(1); work(1) on a thread of its own when parallel and one can be
// started, otherwise after work(0). Rethrows an exception either of them threw.
template <class Work>
void RunInTwoParts(bool parallel, const Work& work) {
    std::exception_ptr helperError;
    std::thread helper;
    if (parallel) {
        try {
            helper = std::thread([&] {
                try {
                    work(1);
                } catch (...) {
                    helperError = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
        }
    }
    std::exception_ptr error;
    try {
        work(0);
        if (!helper.joinable()) work(1);
    } catch (...) {
        error = std::current_exception();
    }
    if (helper.joinable()) helper.join();
    if (error) std::rethrow_exception(error);
    if (helperError) std::rethrow_exception(helperError);
}

// Calls body(begin, end) for the two halves of [0, n), on two threads when n is large.
template <class Body>
void ForEachHalf(std::size_t n, const Body& body) {
    RunInTwoParts(n >= kTwoPartsMinimum,
                  [&](int part) { body(PartBegin(n, part), PartEnd(n, part)); });
}

}  // namespace morvik
