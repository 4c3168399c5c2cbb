// Speed of the data file reader on large files: bytes per second and nanoseconds per line,
// for 17-significant-digit numbers and for short numbers such as "2.5 -0.75". For scale,
// numpy.loadtxt reads the same files once before the benchmarks; its figures and the ratios
// are printed at the end.

#include <benchmark/benchmark.h>
#include <sys/mman.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/data_reader.h"

namespace {

using morvik::ReadDataFile;
using morvik::ReadOutcome;
using morvik::TVectors;

enum class NumberKind { Long, Short };

struct DataFile {
    std::string path;
    std::int64_t lines = 0;
    std::int64_t bytes = 0;
};

void AppendLongNumber(std::string& out, double value) {
    char text[40];
    // 17 significant digits: one before the point, 16 after.
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 16);
    out.append(text, result.ptr);
}

// Writes the file unless an earlier run left it in /tmp.
DataFile MakeFile(NumberKind kind, std::int64_t lines) {
    const char* kindName = kind == NumberKind::Long ? "long17" : "short";
    DataFile file;
    file.path = "/tmp/morvik_bench_" + std::string(kindName) + "_" + std::to_string(lines) + ".txt";
    file.lines = lines;

    std::error_code error;
    const std::uintmax_t existing = std::filesystem::file_size(file.path, error);
    if (!error && existing > 0) {
        file.bytes = static_cast<std::int64_t>(existing);
        return file;
    }
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> wide(-1000.0, 1000.0);
    std::uniform_int_distribution<int> digit(0, 9);
    const std::string partial = file.path + ".partial";
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    std::string block;
    for (std::int64_t i = 0; i < lines; ++i) {
        if (kind == NumberKind::Long) {
            AppendLongNumber(block, wide(random));
            block += ' ';
            AppendLongNumber(block, wide(random));
        } else {  // "d.d -0.dd"
            block += static_cast<char>('0' + digit(random));
            block += '.';
            block += static_cast<char>('0' + digit(random));
            block += " -0.";
            block += static_cast<char>('1' + digit(random) % 9);
            block += static_cast<char>('0' + digit(random));
        }
        block += '\n';
        if (block.size() > (1 << 20)) {
            out << block;
            block.clear();
        }
    }
    out << block;
    out.close();
    std::filesystem::rename(partial, file.path);
    file.bytes = static_cast<std::int64_t>(std::filesystem::file_size(file.path));
    return file;
}

const DataFile& FileFor(NumberKind kind, std::int64_t lines) {
    static std::map<std::pair<NumberKind, std::int64_t>, DataFile> files;
    auto found = files.find({kind, lines});
    if (found == files.end())
        found = files.emplace(std::pair{kind, lines}, MakeFile(kind, lines)).first;
    return found->second;
}

// Bytes of the vectors' storage that are resident in memory.
std::size_t ResidentBytes(const TVectors& vectors) {
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t pages = vectors.CapacityBytes() / page;
    std::vector<unsigned char> resident(pages);
    if (pages == 0 || mincore(const_cast<morvik::TVector*>(vectors.begin()), pages * page,
                              resident.data()) != 0) {
        return 0;
    }
    std::size_t count = 0;
    for (unsigned char r : resident) count += r & 1;
    return count * page;
}

void BM_ReadDataFile(benchmark::State& state, NumberKind kind) {
    const DataFile& file = FileFor(kind, state.range(0));
    std::chrono::duration<double, std::nano> reading{0};
    double residentRatio = 0;
    for (auto _ : state) {
        TVectors vectors;
        const auto start = std::chrono::steady_clock::now();
        const morvik::ReadResult result = ReadDataFile(file.path, vectors);
        reading += std::chrono::steady_clock::now() - start;
        if (result.Outcome != ReadOutcome::Ok ||
            vectors.Size() != static_cast<std::size_t>(file.lines)) {
            state.SkipWithError("reading failed");
            break;
        }
        benchmark::DoNotOptimize(vectors.begin());
        residentRatio = static_cast<double>(ResidentBytes(vectors)) /
                        static_cast<double>(vectors.Size() * sizeof(morvik::TVector));
        // Releasing the vectors is not part of the reading.
        state.PauseTiming();
        vectors.Clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * file.bytes);
    state.counters["ns/line"] =
        reading.count() / static_cast<double>(state.iterations() * file.lines);
    // Memory the vectors hold after the reading, against 16 bytes per vector.
    state.counters["resident/stored"] = residentRatio;
}

BENCHMARK_CAPTURE(BM_ReadDataFile, long17, NumberKind::Long)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadDataFile, short, NumberKind::Short)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Seconds numpy.loadtxt takes for a file (negative when it cannot be run).
double NumpySeconds(const DataFile& file) {
    const std::string command =
        "/usr/bin/python3 -c \"import sys, time, numpy\n"
        "t = time.perf_counter(); a = numpy.loadtxt(sys.argv[1]); "
        "t = time.perf_counter() - t\n"
        "print(t if a.shape == (" +
        std::to_string(file.lines) + ", 2) else -1)\" " + file.path + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    double seconds = -1;
    if (std::fscanf(pipe, "%lf", &seconds) != 1) seconds = -1;
    pclose(pipe);
    return seconds;
}

// Keeps the real time of every benchmark for the comparison printed at the end: the median
// when runs are repeated (and perhaps only their aggregates reported), else the one run.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type != Run::RT_Iteration && !median) continue;
            const std::string name = run.run_name.str();
            if (!median && secondsByName.count(name) != 0) continue;  // a repetition
            secondsByName[name] = run.real_accumulated_time / static_cast<double>(run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> secondsByName;
};

}  // namespace

int main(int argc, char** argv) {
    // --skip_numpy: only the reader, for quick runs.
    bool runNumpy = true;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--skip_numpy") {
            runNumpy = false;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    struct Comparison {
        const char* name;
        NumberKind kind;
        std::int64_t lines;
        double numpySeconds = -1;
    };
    std::vector<Comparison> comparisons = {
        {"BM_ReadDataFile/long17/1000000/real_time", NumberKind::Long, 1000000},
        {"BM_ReadDataFile/long17/10000000/real_time", NumberKind::Long, 10000000},
        {"BM_ReadDataFile/short/1000000/real_time", NumberKind::Short, 1000000},
        {"BM_ReadDataFile/short/10000000/real_time", NumberKind::Short, 10000000},
    };
    if (runNumpy) std::printf("numpy.loadtxt, once per file:\n");
    for (Comparison& c : comparisons) {
        if (!runNumpy) break;
        const DataFile& file = FileFor(c.kind, c.lines);
        c.numpySeconds = NumpySeconds(file);
        if (c.numpySeconds > 0) {
            std::printf("  %-50s %8.3f s %8.1f MB/s %8.1f ns/line\n", file.path.c_str(),
                        c.numpySeconds, static_cast<double>(file.bytes) / c.numpySeconds / 1e6,
                        c.numpySeconds * 1e9 / static_cast<double>(file.lines));
        } else {
            std::printf("  %-50s numpy.loadtxt not available\n", file.path.c_str());
        }
    }
    std::fflush(stdout);

    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nReadDataFile against numpy.loadtxt (time ratio numpy / ReadDataFile):\n");
    for (const Comparison& c : comparisons) {
        const auto found = reporter.secondsByName.find(c.name);
        if (found == reporter.secondsByName.end() || c.numpySeconds <= 0) continue;
        const DataFile& file = FileFor(c.kind, c.lines);
        std::printf("  %-45s %8.1f MB/s vs %8.1f MB/s  ratio %6.1f\n", c.name,
                    static_cast<double>(file.bytes) / found->second / 1e6,
                    static_cast<double>(file.bytes) / c.numpySeconds / 1e6,
                    c.numpySeconds / found->second);
    }
    benchmark::Shutdown();
    return 0;
}
