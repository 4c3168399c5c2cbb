#include "analysis/data_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "analysis/reader_file_source.h"
#include "analysis/reader_parallel.h"
#include "analysis/reader_scanner.h"
#include "common/under_address_sanitizer.h"

namespace morvik {
namespace {

using std::string_literals::operator""s;

std::uint64_t Bits(double d) {
    return std::bit_cast<std::uint64_t>(d);
}

struct ReaderCase {
    const char* name;
    std::string bytes;
    ReadOutcome outcome;
    std::uint32_t failedVector;    // for InvalidNumber
    std::vector<TVector> vectors;  // for Ok
};

std::string Describe(const std::vector<TVector>& vectors) {
    std::string text;
    char line[128];
    for (const TVector& v : vectors) {
        std::snprintf(line, sizeof line, "(%a, %a) ", v.X, v.Y);
        text += line;
    }
    return text;
}

std::vector<TVector> Contents(const TVectors& vectors) {
    return std::vector<TVector>(vectors.begin(), vectors.end());
}

void ExpectSameVectors(const std::vector<TVector>& actual, const std::vector<TVector>& expected) {
    bool same = actual.size() == expected.size();
    for (std::size_t i = 0; same && i < actual.size(); ++i) {
        same = Bits(actual[i].X) == Bits(expected[i].X) && Bits(actual[i].Y) == Bits(expected[i].Y);
    }
    EXPECT_TRUE(same) << "got      " << Describe(actual) << "\nexpected " << Describe(expected);
}

void ExpectCase(const ReaderCase& c, const ReadResult& result, const TVectors& vectors) {
    EXPECT_EQ(result.Outcome, c.outcome) << c.name;
    if (c.outcome == ReadOutcome::InvalidNumber) {
        EXPECT_EQ(result.FailedVector, c.failedVector);
    }
    if (c.outcome == ReadOutcome::Ok && result.Outcome == ReadOutcome::Ok) {
        ExpectSameVectors(Contents(vectors), c.vectors);
    }
}

ReaderCase Ok(const char* name, std::string bytes, std::vector<TVector> vectors) {
    return {name, std::move(bytes), ReadOutcome::Ok, 0, std::move(vectors)};
}
ReaderCase Invalid(const char* name, std::string bytes, std::uint32_t vector) {
    return {name, std::move(bytes), ReadOutcome::InvalidNumber, vector, {}};
}

const std::string k64Digits(64, '1');

// Every layout and number rule, as bytes in and vectors (or the failing vector) out.
std::vector<ReaderCase> LayoutCases() {
    return {
        Ok("empty file", "", {}),
        Ok("two CR LF lines", "1 2\r\n3 4\r\n", {{1, 2}, {3, 4}}),
        Ok("LF lines", "1 2\n3 4\n", {{1, 2}, {3, 4}}),
        Ok("no final line end", "1 2\n3 4", {{1, 2}, {3, 4}}),
        Ok("trailing empty line gives (0, 0)", "1 2\r\n3 4\r\n\r\n", {{1, 2}, {3, 4}, {0, 0}}),
        Ok("trailing blanks give (0, 0)", "1 2\n  \t", {{1, 2}, {0, 0}}),
        Ok("only a line end", "\r\n", {{0, 0}}),
        Ok("only a LF", "\n", {{0, 0}}),
        Ok("only a blank", " ", {{0, 0}}),
        Ok("tabs, spaces, empty lines and trailing blanks",
           "\n\n \t1\t\t  2 \t \r\n\r\n\n  3   4\t\r\n", {{1, 2}, {3, 4}}),
        Ok("other control codes are blanks",
           "\x01"
           "1\x0b\x1f"
           "2\x05\n",
           {{1, 2}}),
        Ok("NUL is a blank",
           "1\0"s
           "2\n",
           {{1, 2}}),
        Ok("three numbers: the third is ignored", "1 2 3\n4 5\n", {{1, 2}, {4, 5}}),
        Ok("rest of the line is ignored even when invalid", "1 2 x;y,z\n4 5", {{1, 2}, {4, 5}}),
        Ok("single number takes Y from the next line", "1\n2 3\n4 5\n", {{1, 2}, {4, 5}}),
        Ok("last line with a single number", "1 2\n5", {{1, 2}, {5, 0}}),
        Ok("last line with a single number and line end", "1 2\n5\n", {{1, 2}, {5, 0}}),
        Ok("CR alone is a blank, not a line end", "1 2\r3 4\r5 6\r", {{1, 2}}),
        Ok("CR alone between X and Y", "1\r2\n", {{1, 2}}),
        Ok("byte 26 ends the data",
           "1 2\n3 4\n\x1a"
           "garbage x y\n",
           {{1, 2}, {3, 4}}),
        Ok("byte 26 first: no vector",
           "\x1a"
           "1 2\n",
           {}),
        Ok("byte 26 right after X",
           "1\x1a"
           "2\n",
           {{1, 0}}),
        Ok("byte 26 after a line's blanks", "1 2\n \x1a", {{1, 2}, {0, 0}}),
        Ok("byte 26 ends a number", "1 2\n7\x1a", {{1, 2}, {7, 0}}),
        Ok("64-character run is one number", k64Digits + " 2\n", {{1.1111111111111111e63, 2}}),
        Ok("65th character starts the next number", k64Digits + "5\n",
           {{1.1111111111111111e63, 5}}),
        Ok("a 65-character run ends its line", k64Digits + "5 7\n8 9",
           {{1.1111111111111111e63, 5}, {8, 9}}),
        Ok("exponent forms", "1.5e3 -2E-2\n", {{1500, -0.02}}),
        Ok("explicit signs", "+5 -5\n+0.5e+1 -.5E-0\n", {{5, -5}, {5, -0.5}}),
        Ok("empty digit runs", ".5 5.\n", {{0.5, 5}}),
        Ok("mantissa without digits is 0", ". -.\ne5 +.E-7\n", {{0, -0.0}, {0, 0}}),
        Ok("negative zero keeps its sign", "-0 -0.0e9\n", {{-0.0, -0.0}}),
        Ok("leading zeros", "007 000.0050\n", {{7, 0.005}}),
        Ok("underflow rounds to zero", "1e-400 -1e-400\n", {{0, -0.0}}),
        Ok("underflow rounds to a subnormal", "4.9e-324 2.5e-324\n",
           {{std::bit_cast<double>(std::uint64_t{1}), std::bit_cast<double>(std::uint64_t{1})}}),
        Ok("just below half the smallest subnormal", "2.4703282292062327e-324 1e-330\n", {{0, 0}}),
        Ok("largest double", "1.7976931348623157e308 -1.7976931348623157e308\n",
           {{1.7976931348623157e308, -1.7976931348623157e308}}),
        Ok("huge exponent on a zero mantissa", "0e99999999999999999999 .e-99999999999\n", {{0, 0}}),
        Ok("very long exponent digits",
           "1e-0000000000000000000000000000000000000000000000000000000003 2\n", {{1e-3, 2}}),

        Invalid("header words", "x y\n1 2\n", 1),
        Invalid("byte-order mark",
                "\xef\xbb\xbf"
                "1 2\n",
                1),
        Invalid("decimal comma", "1,5 2\n", 1),
        Invalid("semicolon", "1 2\n3;4\n", 2),
        Invalid("sign alone +", "+ 2\n", 1),
        Invalid("sign alone -", "1 -\n", 1),
        Invalid("exponent without digits", "1e 2\n", 1),
        Invalid("exponent sign without digits", "1 2\n3 1e+\n", 2),
        Invalid("E alone", "E 2\n", 1),
        Invalid("inf", "inf 2\n", 1),
        Invalid("infinity", "1 Infinity\n", 1),
        Invalid("nan", "nan 2\n", 1),
        Invalid("hex float", "0x1p3 2\n", 1),
        Invalid("hex integer", "0x10 2\n", 1),
        Invalid("double sign", "+-5 2\n", 1),
        Invalid("two points", "1.2.3 2\n", 1),
        Invalid("exponent fraction", "1e2.5 2\n", 1),
        Invalid("overflow", "1e400 2\n", 1),
        Invalid("negative overflow on the third line", "1 2\n3 4\n-1e400 6\n", 3),
        Invalid("just above the largest double rounds to infinity", "1.7976931348623159e308 0\n",
                1),
        Invalid("vector number counts vectors, not lines", "1\n2\n3\n4\n5 x\n", 3),
        Invalid("invalid Y on the line after a single X", "1 2\n3\n4x\n", 2),
        Invalid("invalid number after an empty line", "1 2\n\n x\n", 2),
        Invalid("DEL is not a blank", "1 2\x7f\n", 1),
        Invalid("byte 160 is not a blank", "1\xa0 2\n", 1),
        Invalid("65th character is part of an invalid second number", k64Digits + "x\n", 1),
        Invalid("64 characters with a letter", std::string(63, '1') + "a 2\n", 1),
    };
}

TEST(ParseDataTest, LayoutAndNumberRules) {
    for (const ReaderCase& c : LayoutCases()) {
        SCOPED_TRACE(c.name);
        TVectors vectors;
        ExpectCase(c, ParseData(c.bytes, vectors), vectors);
    }
}

// Correct rounding, checked on bits: decimal strings next to the halfway point between two
// doubles, where a conversion that keeps too few digits goes wrong.
TEST(ParseDataTest, RoundsEveryNumberCorrectly) {
    struct RoundingCase {
        const char* text;
        std::uint64_t bits;
    };
    const RoundingCase cases[] = {
        // 2^53 + 1 is halfway between 2^53 and 2^53 + 2: ties to even, and just above it up.
        {"9007199254740993", 0x4340000000000000},
        {"9007199254740993.0000000000000000000000000000000000000000000001", 0x4340000000000001},
        {"9007199254740992.9999999999999999999999999999999999999999999999", 0x4340000000000000},
        // 1 + 2^-53 is halfway between 1 and the next double.
        {"1.00000000000000011102230246251565404236316680908203125", 0x3ff0000000000000},
        {"1.000000000000000111022302462515654042363166809082031251", 0x3ff0000000000001},
        {"1.000000000000000111022302462515654042363166809082031249", 0x3ff0000000000000},
        // Shortest forms that need more than the 19-digit fast path.
        {"0.1", 0x3fb999999999999a},
        {"0.30000000000000004", 0x3fd3333333333334},
        {"2.2250738585072014e-308", 0x0010000000000000},
        {"2.2250738585072011e-308", 0x000fffffffffffff},
        {"123456789012345678901234567890", 0x45f8ee90ff6c373e},
        // 2^56 + 8 is halfway between 2^56 and the next double, 2^56 + 16.
        {"72057594037927944", 0x4370000000000000},
        {"72057594037927945", 0x4370000000000001},
        {"72057594037927944.000000000000000000000000000000000000001", 0x4370000000000001},
        {"3.0517578125e-5", 0x3f00000000000000},
        // Fast path: exact mantissa and an exact power of ten.
        {"2.5", 0x4004000000000000},
        {"-0.75", 0xbfe8000000000000},
        {"1e22", 0x4480f0cf064dd592},
        {"1e23", 0x44b52d02c7e14af6},
        {"8.98846567431158e307", 0x7fe0000000000000},
    };
    for (const RoundingCase& c : cases) {
        TVectors vectors;
        const std::string bytes = std::string(c.text) + " 0\n";
        ASSERT_EQ(ParseData(bytes, vectors).Outcome, ReadOutcome::Ok) << c.text;
        ASSERT_EQ(vectors.Size(), 1u);
        EXPECT_EQ(Bits(vectors[0].X), c.bits) << c.text;
    }
}

// The fast path and the general conversion must agree on every short number.
TEST(ParseDataTest, FastPathAgreesWithGeneralConversion) {
    const char* texts[] = {"0.1",
                           "0.2",
                           "0.3",
                           "1.7",
                           "123.456",
                           "9.95",
                           "-8.125",
                           "3.3e-5",
                           "4.4e+20",
                           "9007199254740991",
                           "1e-22",
                           "1.1e-22",
                           "4503599627370497.5",
                           "0.000123456789"};
    for (const char* text : texts) {
        TVectors vectors;
        ASSERT_EQ(ParseData(std::string(text) + " 0", vectors).Outcome, ReadOutcome::Ok);
        char* end = nullptr;
        EXPECT_EQ(Bits(vectors[0].X), Bits(std::strtod(text, &end))) << text;
    }
}

// Random numbers of every length the fast paths take (up to 19 significant digits, powers
// of ten up to 27) and near halfway points between doubles, against glibc's correctly
// rounded strtod.
TEST(ParseDataTest, FastPathsRoundLikeStrtodOnRandomNumbers) {
    std::mt19937_64 random(2024);
    std::vector<std::string> texts;
    for (int i = 0; i < 20000; ++i) {
        std::string text = std::to_string(random() % 10000000000000000000u);
        text.resize(1 + random() % text.size());
        text.insert(random() % (text.size() + 1), ".");
        text += "e" + std::to_string(static_cast<int>(random() % 61) - 30);
        texts.push_back(text);
    }
    char buffer[64];
    for (int i = 0; i < 20000; ++i) {
        const double d =
            std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 120));
        // 17 significant digits, and the exact halfway point to the next double, printed
        // with 19 to 21 digits (a little on either side of it, or exactly on it).
        auto end =
            std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::scientific, 16);
        texts.emplace_back(buffer, end.ptr);
        const long double halfway = (static_cast<long double>(d) + std::nextafter(d, 1e300)) / 2;
        end = std::to_chars(buffer, buffer + sizeof buffer, halfway, std::chars_format::scientific,
                            18 + static_cast<int>(random() % 3));
        texts.emplace_back(buffer, end.ptr);
    }
    for (const std::string& text : texts) {
        TVectors vectors;
        ASSERT_EQ(ParseData(text + " 1", vectors).Outcome, ReadOutcome::Ok) << text;
        EXPECT_EQ(Bits(vectors[0].X), Bits(std::strtod(text.c_str(), nullptr))) << text;
    }
}

// A temporary file on disk, removed at the end of the test.
class TempPath {
  public:
    explicit TempPath(const char* name)
        : path_(std::filesystem::temp_directory_path() /
                ("morvik_reader_" + std::to_string(getpid()) + "_" + name)) {
        std::filesystem::remove_all(path_);
    }
    ~TempPath() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Get() const { return text_ = path_.string(); }
    void Write(const std::string& bytes) const { std::ofstream(path_, std::ios::binary) << bytes; }

  private:
    std::filesystem::path path_;
    mutable std::string text_;
};

// The same table through a file: the chunked reading must not change any result.
TEST(ReadDataFileTest, FilesGiveTheSameResultsAsMemory) {
    TempPath file("table.txt");
    for (const ReaderCase& c : LayoutCases()) {
        SCOPED_TRACE(c.name);
        file.Write(c.bytes);
        TVectors vectors;
        ExpectCase(c, ReadDataFile(file.Get(), vectors), vectors);
    }
}

// The table again with tiny chunks, so that every number, CR LF pair and blank run of it
// is split across chunks somewhere.
TEST(ReadDataFileTest, SmallChunksGiveTheSameResults) {
    TempPath file("small_chunks.txt");
    for (const ReaderCase& c : LayoutCases()) {
        SCOPED_TRACE(c.name);
        file.Write(c.bytes);
        for (std::size_t chunk : {1u, 2u, 3u, 7u, 63u, 64u, 65u}) {
            SCOPED_TRACE(chunk);
            const int fd = open(file.Get().c_str(), O_RDONLY | O_CLOEXEC);
            ASSERT_GE(fd, 0);
            TVectors vectors;
            reader::TFileSource source(fd, chunk);
            reader::TVectorScanner scanner(source, source.Begin());
            ExpectCase(c, scanner.ReadAll(vectors), vectors);
            close(fd);
        }
    }
}

// Every input the fuzzer ever found, and its seeds: the reading from memory and the one from
// a file agree, and an accepted reading holds only finite values.
TEST(ReadDataFileTest, FuzzInputsReadAlikeFromMemoryAndFile) {
    const std::filesystem::path fuzzDir =
        std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "fuzz";
    std::size_t replayed = 0;
    for (const char* folder : {"regressions", "seeds"}) {
        if (!std::filesystem::is_directory(fuzzDir / folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(fuzzDir / folder)) {
            SCOPED_TRACE(entry.path().string());
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            TVectors fromMemory;
            const ReadResult memory = ParseData(bytes, fromMemory);
            TVectors fromFile;
            const ReadResult file = ReadDataFile(entry.path().string(), fromFile);
            EXPECT_EQ(memory.Outcome, file.Outcome);
            EXPECT_EQ(memory.FailedVector, file.FailedVector);
            EXPECT_NE(memory.Outcome, ReadOutcome::CannotOpen);
            if (memory.Outcome == ReadOutcome::Ok) {
                ExpectSameVectors(Contents(fromFile), Contents(fromMemory));
                for (const TVector& v : fromMemory) {
                    EXPECT_TRUE(std::isfinite(v.X) && std::isfinite(v.Y));
                }
            }
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0u) << "no fuzz inputs found under " << fuzzDir;
}

// Numbers, line ends and CR LF pairs that straddle the 1 MiB chunks of the file reading, at
// every offset around the boundary.
TEST(ReadDataFileTest, NumbersAcrossChunkBoundaries) {
    TempPath file("chunks.txt");
    const std::size_t chunk = reader::TFileSource::kChunkSize;
    const std::string tail = "12345.678 -9.5e-3\r\n" + k64Digits + "7 x\r\n42 43";
    for (std::size_t shift = 0; shift < 80; ++shift) {
        std::string bytes = "1 2";
        bytes.append(chunk - 20 + shift - bytes.size(), ' ');
        bytes += "\r\n";
        bytes += tail;
        file.Write(bytes);
        TVectors vectors;
        const ReadResult result = ReadDataFile(file.Get(), vectors);
        ASSERT_EQ(result.Outcome, ReadOutcome::Ok) << shift;
        ExpectSameVectors(Contents(vectors),
                          {{1, 2}, {12345.678, -9.5e-3}, {1.1111111111111111e63, 7}, {42, 43}});
    }
}

TEST(ReadDataFileTest, LongBlankRunsAndLinesAcrossChunks) {
    TempPath file("blanks.txt");
    const std::size_t chunk = reader::TFileSource::kChunkSize;
    const std::string bytes =
        "1" + std::string(3 * chunk, ' ') + "2 " + std::string(2 * chunk, 'z') + "\n3 4\n";
    file.Write(bytes);
    TVectors vectors;
    ASSERT_EQ(ReadDataFile(file.Get(), vectors).Outcome, ReadOutcome::Ok);
    ExpectSameVectors(Contents(vectors), {{1, 2}, {3, 4}});

    // Line ends are blanks too: the first number is sought through all of them, so more
    // than a chunk of empty lines is one vector (0, 0).
    file.Write(std::string(chunk + 5, '\n') +
               "\x1a"
               "5 6\n");
    ASSERT_EQ(ReadDataFile(file.Get(), vectors).Outcome, ReadOutcome::Ok);
    ExpectSameVectors(Contents(vectors), {{0, 0}});
}

TEST(ReadDataFileTest, ManyVectorsInFileOrder) {
    TempPath file("many.txt");
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += std::to_string(i) + " -" + std::to_string(i) + ".25\n";
    file.Write(bytes);
    TVectors vectors;
    ASSERT_EQ(ReadDataFile(file.Get(), vectors).Outcome, ReadOutcome::Ok);
    ASSERT_EQ(vectors.Size(), 200000u);
    for (int i = 0; i < 200000; ++i) {
        ASSERT_EQ(Bits(vectors[i].X), Bits(i));
        ASSERT_EQ(Bits(vectors[i].Y), Bits(-i - 0.25));
    }
}

TEST(ReadDataFileTest, EverythingThatIsNotAReadableRegularFileCannotBeOpened) {
    TempPath directory("dir");
    std::filesystem::create_directory(directory.Get());
    TempPath fifo("fifo");
    ASSERT_EQ(mkfifo(fifo.Get().c_str(), 0600), 0);
    TempPath dangling("dangling");
    std::filesystem::create_symlink("/nonexistent/morvik/target", dangling.Get());
    TempPath missing("missing");

    const std::string paths[] = {"",          missing.Get(), directory.Get(), fifo.Get(),
                                 "/dev/zero", "/dev/null",   dangling.Get()};
    for (const std::string& path : paths) {
        TVectors vectors;
        ASSERT_TRUE(vectors.TryAppend({1, 2}));
        const ReadResult result = ReadDataFile(path, vectors);
        EXPECT_EQ(result.Outcome, ReadOutcome::CannotOpen) << "'" << path << "'";
        EXPECT_TRUE(vectors.Empty()) << path;
    }
}

// A file without read permission. Root reads it anyway, so the reading then runs in a child
// that has given up root.
TEST(ReadDataFileTest, UnreadableFileCannotBeOpened) {
    TempPath file("unreadable.txt");
    file.Write("1 2\n");
    ASSERT_EQ(chmod(file.Get().c_str(), 0), 0);
    auto outcome = [&] {
        TVectors vectors;
        return ReadDataFile(file.Get(), vectors).Outcome;
    };
    if (geteuid() != 0) {
        EXPECT_EQ(outcome(), ReadOutcome::CannotOpen);
        return;
    }
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        _exit(outcome() == ReadOutcome::CannotOpen ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// /proc/self/mem is a regular file whose first read fails: a failed read is reported like an
// invalid number of the vector being read, never as a successful empty reading.
TEST(ReadDataFileTest, FailingReadIsReportedForTheVectorBeingRead) {
    TVectors vectors;
    const ReadResult result = ReadDataFile("/proc/self/mem", vectors);
    EXPECT_EQ(result.Outcome, ReadOutcome::InvalidNumber);
    EXPECT_EQ(result.FailedVector, 1u);
}

TEST(ReadDataFileTest, ReadingReplacesEarlierContents) {
    TempPath file("replace.txt");
    file.Write("5 6\n");
    TVectors vectors;
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(vectors.TryAppend({1, 1}));
    ASSERT_EQ(ReadDataFile(file.Get(), vectors).Outcome, ReadOutcome::Ok);
    ExpectSameVectors(Contents(vectors), {{5, 6}});
}

// A reading that runs out of memory says so (in a child whose address space is limited to
// 32 MiB more; the 64 MiB of vectors of these 16 MiB of text do not fit).
TEST(ParseDataTest, ExhaustedMemoryIsOutOfMemory) {
    if (kUnderAddressSanitizer) {
        GTEST_SKIP() << "AddressSanitizer reserves the address space this test limits";
    }
    std::string bytes;
    for (int i = 0; i < (1 << 22); ++i) bytes += "1 2\n";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::size_t pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%zu", &pages) != 1) pages = 0;
            std::fclose(statm);
        }
        const rlim_t limit = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + (32 << 20);
        const rlimit rl{limit, limit};
        if (pages == 0 || setrlimit(RLIMIT_AS, &rl) != 0) _exit(100);
        TVectors vectors;
        const ReadResult result = ParseData(bytes, vectors);
        _exit(result.Outcome == ReadOutcome::OutOfMemory ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// More vectors than the count can hold are refused, not wrapped (shown with a lower limit:
// the real one, 2^32 - 1, would need 64 GiB).
TEST(ParseDataTest, CountBeyondTheLimitIsOutOfMemory) {
    const std::string bytes = "1 2\n3 4\n5 6\n";
    const char* begin = bytes.data();
    for (std::uint64_t limit : {2u, 3u}) {
        reader::TMemorySource source(begin, begin + bytes.size());
        reader::TVectorScanner scanner(source, begin);
        TVectors vectors;
        const ReadResult result = scanner.ReadAll(vectors, limit);
        EXPECT_EQ(result.Outcome, limit < 3 ? ReadOutcome::OutOfMemory : ReadOutcome::Ok);
    }
}

// --- Reading in two parts on two threads ---

// Reads an open file of bytes with the second part starting at split (0: the reader's own
// choice of split, every file being above the threshold).
ReadResult ReadTwoParts(const std::string& path, std::uint64_t split, TVectors& vectors,
                        std::size_t chunk, std::uint64_t maxCount = reader::kMaxVectorCount) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_GE(fd, 0);
    const reader::TReadSettings settings{1, chunk, maxCount};
    struct stat status {};
    EXPECT_EQ(fstat(fd, &status), 0);
    const ReadResult result =
        split == 0 ? reader::ReadOpenFile(fd, static_cast<std::uint64_t>(status.st_size), vectors,
                                          settings)
                   : reader::ReadInTwoParts(fd, split, vectors, settings);
    close(fd);
    return result;
}

// Every split a file can have: just after each LF but the last byte.
std::vector<std::uint64_t> SplitsOf(const std::string& bytes) {
    std::vector<std::uint64_t> splits;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == '\n') splits.push_back(i + 1);
    }
    return splits;
}

// Layouts around the split: a line holding only X before it, a CR LF, a run of blank lines,
// a byte 26 on either side, an invalid number after it (numbered for the whole file), a
// first part of blanks only, numbers ignored after Y.
std::vector<std::string> SplitLayouts() {
    return {
        "1\n2 3\n4 5\n",
        "1 2\r\n3\r\n4 5\r\n6 7\r\n",
        "1 2\n\n\n\n\n3 4\n\n5 6\n",
        "1 2\n\x1a\n5 6\n7 8\n",
        "1 2\n3 4\n\n5\x1a 6\n7 8\n",
        "1 2\n3 4\n5 6\n7 x\n8 9\n",
        "1 2\n3\n4\n5\n6 ;\n",
        "\n\n\n\n \t\n\n1 2\n3 4\n",
        "1 2 3\n4 5 6 7\n8\n9 10 11\n",
        "1 2\n3 4\n\n",
        "1 2\n3 4\n \n\n",
        "1 2\n\n",
    };
}

TEST(ReadInTwoPartsTest, TableGivesTheSameResultsAtEverySplit) {
    TempPath file("two_parts_table.txt");
    for (const ReaderCase& c : LayoutCases()) {
        SCOPED_TRACE(c.name);
        file.Write(c.bytes);
        std::vector<std::uint64_t> splits = SplitsOf(c.bytes);
        splits.push_back(0);
        for (std::uint64_t split : splits) {
            for (std::size_t chunk : {std::size_t{3}, reader::TFileSource::kChunkSize}) {
                SCOPED_TRACE(testing::Message() << "split " << split << " chunk " << chunk);
                TVectors vectors;
                ExpectCase(c, ReadTwoParts(file.Get(), split, vectors, chunk), vectors);
            }
        }
    }
}

void ExpectLikeMemory(const std::string& bytes, const ReadResult& result, const TVectors& vectors) {
    TVectors expected;
    const ReadResult memory = ParseData(bytes, expected);
    EXPECT_EQ(result.Outcome, memory.Outcome);
    EXPECT_EQ(result.FailedVector, memory.FailedVector);
    if (memory.Outcome == ReadOutcome::Ok && result.Outcome == ReadOutcome::Ok) {
        ExpectSameVectors(Contents(vectors), Contents(expected));
    }
}

TEST(ReadInTwoPartsTest, LayoutsAroundTheSplit) {
    TempPath file("two_parts_layouts.txt");
    for (const std::string& bytes : SplitLayouts()) {
        SCOPED_TRACE(bytes);
        file.Write(bytes);
        for (std::uint64_t split : SplitsOf(bytes)) {
            for (std::size_t chunk : {std::size_t{1}, std::size_t{4}, std::size_t{64}}) {
                SCOPED_TRACE(testing::Message() << "split " << split << " chunk " << chunk);
                TVectors vectors;
                ExpectLikeMemory(bytes, ReadTwoParts(file.Get(), split, vectors, chunk), vectors);
            }
        }
    }
}

// The count limit holds for both parts together, also ahead of an invalid number that the
// second part meets after the limit.
TEST(ReadInTwoPartsTest, CountLimitCoversBothParts) {
    TempPath file("two_parts_limit.txt");
    struct LimitCase {
        std::string bytes;
        std::uint64_t limit;
        ReadOutcome outcome;
    };
    const LimitCase cases[] = {
        {"1 2\n3 4\n5 6\n", 2, ReadOutcome::OutOfMemory},
        {"1 2\n3 4\n5 6\n", 3, ReadOutcome::Ok},
        {"1 2\n3 4\n5 6\nx\n", 3, ReadOutcome::OutOfMemory},
        {"1 2\n3 4\n5 6\nx\n", 4, ReadOutcome::InvalidNumber},
    };
    for (const LimitCase& c : cases) {
        file.Write(c.bytes);
        for (std::uint64_t split : SplitsOf(c.bytes)) {
            SCOPED_TRACE(testing::Message()
                         << c.bytes << " limit " << c.limit << " split " << split);
            TVectors vectors;
            const ReadResult result = ReadTwoParts(file.Get(), split, vectors, 2, c.limit);
            EXPECT_EQ(result.Outcome, c.outcome);
            if (c.outcome == ReadOutcome::InvalidNumber) {
                EXPECT_EQ(result.FailedVector, 4u);
            }
        }
    }
}

// Random files of mixed layouts (fixed seeds), read in two parts at the middle and at
// random splits, against the reading from memory.
std::string RandomLayout(std::mt19937& random) {
    static const char* const pieces[] = {
        "1.5", "-2", "3e2", "0.125", "-7.25e-3", "42", ".5",   "5.",   " ", "  ",  "\t",
        "\n",  "\n", "\n",  "\n",    "\r\n",     "\r", "\n\n", "\x01", "x", "1,5", "\x1a",
    };
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(1, 400);
    std::uniform_int_distribution<int> percent(0, 99);
    const bool rare = percent(random) < 70;  // most files hold no invalid number or byte 26
    std::string bytes;
    for (int n = length(random); n > 0; --n) {
        std::string piece = pieces[pick(random)];
        if (rare && (piece == "x" || piece == "1,5" || piece == "\x1a")) piece = "9";
        bytes += piece;
    }
    return bytes;
}

TEST(ReadInTwoPartsTest, RandomFilesReadAsFromMemory) {
    TempPath file("two_parts_random.txt");
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        const std::string bytes = RandomLayout(random);
        SCOPED_TRACE(seed);
        file.Write(bytes);
        std::vector<std::uint64_t> splits = SplitsOf(bytes);
        std::shuffle(splits.begin(), splits.end(), random);
        if (splits.size() > 4) splits.resize(4);
        splits.push_back(0);
        for (std::uint64_t split : splits) {
            std::uniform_int_distribution<std::size_t> chunk(1, 50);
            TVectors vectors;
            ExpectLikeMemory(bytes, ReadTwoParts(file.Get(), split, vectors, chunk(random)),
                             vectors);
        }
    }
}

// A file above the real threshold through ReadDataFile, in file order.
TEST(ReadInTwoPartsTest, LargeFileKeepsFileOrder) {
    TempPath file("two_parts_large.txt");
    const int lines = 1200000;
    std::string bytes;
    for (int i = 0; i < lines; ++i) bytes += std::to_string(i) + " -" + std::to_string(i) + ".25\n";
    ASSERT_GE(bytes.size(), std::size_t{16} << 20);
    file.Write(bytes);
    TVectors vectors;
    ASSERT_EQ(ReadDataFile(file.Get(), vectors).Outcome, ReadOutcome::Ok);
    ASSERT_EQ(vectors.Size(), static_cast<std::size_t>(lines));
    for (int i = 0; i < lines; ++i) {
        ASSERT_EQ(Bits(vectors[i].X), Bits(i));
        ASSERT_EQ(Bits(vectors[i].Y), Bits(-i - 0.25));
    }
    // The storage is no larger than the one-thread reading leaves: nothing of the second
    // part's copy is kept.
    EXPECT_LE(vectors.CapacityBytes(), vectors.Size() * sizeof(TVector) * 5 / 4 + (1 << 20));
}

}  // namespace
}  // namespace morvik
