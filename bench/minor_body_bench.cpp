// The asteroid library: opening a library of MPCORB size (800,000 records)
// and answering name searches through its index.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "tarvo/libraries/minor_body_library.h"

namespace {

constexpr int kRecords = 800000;

const std::filesystem::path& libraryDir() {
    static const std::filesystem::path dir = [] {
        const std::filesystem::path d = std::filesystem::temp_directory_path() /
                                        ("tarvo-bench-library-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        std::string bytes(tarvo::asteroidHeaderBytes, '\0');
        const double epoch = 2459800.5;
        std::memcpy(bytes.data(), &epoch, 8);
        tarvo::AsteroidRecord r;
        r.eccentricity = 200'000'000;
        r.axisWhole = 2;
        for (int n = 1; n <= kRecords; ++n) {
            r.name = "A" + std::to_string(n);
            const auto b = tarvo::encodeAsteroidRecord(r);
            bytes.append(reinterpret_cast<const char*>(b.data()), b.size());
        }
        std::ofstream(d / "ASTEREL2.BIN", std::ios::binary) << bytes;
        std::ofstream(d / "MIBODIF2.BIN", std::ios::binary);
        return d;
    }();
    return dir;
}

void BM_OpenAndIndex(benchmark::State& state) {
    for (auto _ : state) {
        tarvo::AsteroidLibrary lib;
        std::string message;
        if (!lib.open(libraryDir(), message)) state.SkipWithError(message.c_str());
        benchmark::DoNotOptimize(lib.findByName("A1")); // the first search builds the index
    }
}
BENCHMARK(BM_OpenAndIndex)->Unit(benchmark::kMillisecond);

void BM_NameSearch(benchmark::State& state) {
    tarvo::AsteroidLibrary lib;
    std::string message;
    if (!lib.open(libraryDir(), message)) state.SkipWithError(message.c_str());
    lib.findByName("A1");
    int n = 0;
    for (auto _ : state) {
        n = n % kRecords + 7919;
        benchmark::DoNotOptimize(lib.findByName("a" + std::to_string(n % kRecords + 1)));
    }
}
BENCHMARK(BM_NameSearch);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::filesystem::remove_all(libraryDir());
    return 0;
}
