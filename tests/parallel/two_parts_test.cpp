#include "parallel/two_parts.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <stdexcept>
#include <thread>
#include <vector>

namespace morvik {
namespace {

// Every element is visited exactly once, by two threads when there are enough of them.
TEST(TwoPartsTest, HalvesCoverEveryElementOnce) {
    for (const std::size_t n :
         {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, kTwoPartsMinimum - 1,
          kTwoPartsMinimum, kTwoPartsMinimum + 1, std::size_t{1000001}}) {
        SCOPED_TRACE(n);
        std::vector<int> visits(n, 0);
        std::atomic<int> calls = 0;
        std::thread::id ids[2];
        ForEachHalf(n, [&](std::size_t begin, std::size_t end) {
            ids[calls++ == 0 ? 0 : 1] = std::this_thread::get_id();
            for (std::size_t i = begin; i < end; ++i) ++visits[i];
        });
        EXPECT_EQ(calls, 2);
        for (std::size_t i = 0; i < n; ++i) ASSERT_EQ(visits[i], 1) << "element " << i;
        EXPECT_EQ(ids[0] != ids[1], n >= kTwoPartsMinimum);
    }
}

// An exception in either part reaches the caller, after both parts have ended.
TEST(TwoPartsTest, ExceptionOfEitherPartIsRethrown) {
    for (const int failing : {0, 1}) {
        for (const bool parallel : {false, true}) {
            SCOPED_TRACE(testing::Message() << "part " << failing << " parallel " << parallel);
            std::atomic<int> finished = 0;
            EXPECT_THROW(RunInTwoParts(parallel,
                                       [&](int part) {
                                           if (part == failing) throw std::runtime_error("part");
                                           ++finished;
                                       }),
                         std::runtime_error);
            // Without a second thread, a failing first part stops before the second.
            EXPECT_EQ(finished, parallel || failing == 1 ? 1 : 0);
        }
    }
}

}  // namespace
}  // namespace morvik
