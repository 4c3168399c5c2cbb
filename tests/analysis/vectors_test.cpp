#include "analysis/vectors.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "common/under_address_sanitizer.h"

namespace morvik {
namespace {

TVector Numbered(std::size_t i) {
    return {static_cast<double>(i), -static_cast<double>(i) - 0.5};
}

void ExpectNumbered(const TVectors& vectors, std::size_t count) {
    ASSERT_EQ(vectors.Size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_EQ(std::bit_cast<std::uint64_t>(vectors[i].X),
                  std::bit_cast<std::uint64_t>(Numbered(i).X))
            << i;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(vectors[i].Y),
                  std::bit_cast<std::uint64_t>(Numbered(i).Y))
            << i;
    }
}

TEST(TVectorsTest, StartsEmptyWithoutStorage) {
    TVectors vectors;
    EXPECT_TRUE(vectors.Empty());
    EXPECT_EQ(vectors.Size(), 0u);
    EXPECT_EQ(vectors.CapacityBytes(), 0u);
    EXPECT_EQ(vectors.begin(), vectors.end());
}

// Crosses many growth steps (and so many remaps, which may move the block) and checks that
// every element survives them.
TEST(TVectorsTest, AppendKeepsEveryElementAcrossGrowth) {
    TVectors vectors;
    const std::size_t count = 300000;
    for (std::size_t i = 0; i < count; ++i) ASSERT_TRUE(vectors.TryAppend(Numbered(i)));
    ExpectNumbered(vectors, count);
    EXPECT_FALSE(vectors.Empty());
}

// The reserve stays below half of the stored size, so a large reading costs less than
// 1.5 times its own size even counting the reserved but untouched pages.
TEST(TVectorsTest, ReserveStaysBelowHalfTheStoredSize) {
    TVectors vectors;
    const std::size_t count = 1000000;
    std::size_t worst = 0;
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_TRUE(vectors.TryAppend(Numbered(i)));
        if (i >= 10000) worst = std::max(worst, vectors.CapacityBytes() * 1000 / (16 * (i + 1)));
    }
    EXPECT_LT(worst, 1500u);
}

TEST(TVectorsTest, MoveTransfersStorageAndEmptiesSource) {
    TVectors source;
    for (std::size_t i = 0; i < 1000; ++i) ASSERT_TRUE(source.TryAppend(Numbered(i)));
    const TVector* block = source.begin();

    TVectors moved(std::move(source));
    EXPECT_EQ(moved.begin(), block);
    ExpectNumbered(moved, 1000);
    EXPECT_TRUE(source.Empty());
    EXPECT_EQ(source.CapacityBytes(), 0u);

    TVectors assigned;
    ASSERT_TRUE(assigned.TryAppend({7, 8}));
    assigned = std::move(moved);
    ExpectNumbered(assigned, 1000);
    EXPECT_EQ(moved.CapacityBytes(), 0u);

    // The source stays usable after a move.
    ASSERT_TRUE(source.TryAppend(Numbered(0)));
    ExpectNumbered(source, 1);
}

TEST(TVectorsTest, AllocateGivesExactlyNWritableElements) {
    TVectors vectors;
    ASSERT_TRUE(vectors.TryAppend({1, 2}));
    ASSERT_TRUE(vectors.TryAllocate(5000));
    EXPECT_EQ(vectors.Size(), 5000u);
    EXPECT_GE(vectors.CapacityBytes(), 5000u * 16);
    for (std::size_t i = 0; i < 5000; ++i) vectors[i] = Numbered(i);
    ExpectNumbered(vectors, 5000);
    // Appending after an allocation goes on from its end.
    ASSERT_TRUE(vectors.TryAppend(Numbered(5000)));
    ExpectNumbered(vectors, 5001);

    ASSERT_TRUE(vectors.TryAllocate(0));
    EXPECT_TRUE(vectors.Empty());
    EXPECT_EQ(vectors.CapacityBytes(), 0u);
}

TEST(TVectorsTest, AllocateBeyondAddressSpaceFailsAndLeavesEmpty) {
    TVectors vectors;
    ASSERT_TRUE(vectors.TryAppend({1, 2}));
    EXPECT_FALSE(vectors.TryAllocate(SIZE_MAX / 16));
    EXPECT_TRUE(vectors.Empty());
    EXPECT_FALSE(vectors.TryAllocate(SIZE_MAX));
    EXPECT_TRUE(vectors.Empty());
}

TEST(TVectorsTest, ClearReleasesStorage) {
    TVectors vectors;
    for (std::size_t i = 0; i < 100; ++i) ASSERT_TRUE(vectors.TryAppend(Numbered(i)));
    vectors.Clear();
    EXPECT_TRUE(vectors.Empty());
    EXPECT_EQ(vectors.CapacityBytes(), 0u);
    ASSERT_TRUE(vectors.TryAppend(Numbered(0)));
    ExpectNumbered(vectors, 1);
}

// Appending one array to another moves its pages behind the vectors: every vector arrives in
// order, whatever page boundary the first array ends at, and the array grows on afterwards.
TEST(TVectorsTest, AppendAllJoinsArraysInOrder) {
    constexpr std::size_t kPerPage = 4096 / sizeof(TVector);
    struct Case {
        std::size_t first, second;
    };
    const Case cases[] = {
        {0, 0},         {0, 10},        {10, 0},
        {1, 1},         {kPerPage, 3},  {kPerPage - 1, kPerPage + 1},
        {1000, 300000}, {300000, 1000}, {200000, 200000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << " + " << c.second);
        TVectors first, second;
        for (std::size_t i = 0; i < c.first; ++i) ASSERT_TRUE(first.TryAppend(Numbered(i)));
        for (std::size_t i = 0; i < c.second; ++i) {
            ASSERT_TRUE(second.TryAppend(Numbered(c.first + i)));
        }
        ASSERT_TRUE(first.TryAppendAll(second));
        EXPECT_TRUE(second.Empty());
        EXPECT_EQ(second.CapacityBytes(), 0u);
        ExpectNumbered(first, c.first + c.second);
        const std::size_t joined = c.first + c.second;
        for (std::size_t i = joined; i < joined + 70000; ++i) {
            ASSERT_TRUE(first.TryAppend(Numbered(i)));
        }
        ExpectNumbered(first, joined + 70000);
    }
}

// Runs body in a child process whose address space may grow by only headroom bytes more;
// returns the child's exit code (body's result), or -1 when it did not exit normally.
int RunWithAddressSpaceHeadroom(std::size_t headroom, int (*body)()) {
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        std::size_t pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%zu", &pages) != 1) pages = 0;
            std::fclose(statm);
        }
        const rlim_t limit = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + headroom;
        const rlimit rl{limit, limit};
        if (pages == 0 || setrlimit(RLIMIT_AS, &rl) != 0) _exit(100);
        _exit(body());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// When memory runs out TryAppend says so and keeps what it had; it settles for smaller
// growth steps first, so nearly all of the available memory gets used.
TEST(TVectorsTest, AppendReportsExhaustedMemoryAndKeepsContents) {
#ifdef MORVIK_UNDER_ADDRESS_SANITIZER
    GTEST_SKIP() << "AddressSanitizer reserves the address space this test limits";
#endif
    const int code = RunWithAddressSpaceHeadroom(std::size_t{75} << 20, [] {
        TVectors vectors;
        std::size_t count = 0;
        while (vectors.TryAppend(Numbered(count))) {
            if (++count > (std::size_t{1} << 26)) return 1;  // the limit did not hold
        }
        if (vectors.Size() != count) return 2;
        for (std::size_t i = 0; i < count; i += 4099) {
            if (std::bit_cast<std::uint64_t>(vectors[i].X) !=
                std::bit_cast<std::uint64_t>(Numbered(i).X)) {
                return 3;
            }
        }
        // Growing by a quarter alone would stop up to a fifth short of the limit.
        if (vectors.CapacityBytes() < (std::size_t{72} << 20)) return 4;
        return 0;
    });
    EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace morvik
