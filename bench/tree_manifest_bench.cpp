// The start-up check of the data tree against its manifest: the usual case
// (nothing modified since the build: one stat per file) and the worst (every
// file modified after the manifest, so every one is hashed).
#include "fileio/tree_manifest.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const fs::path kTree = TARVO_BENCH_TREE;

void BM_CheckIntactTree(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(tarvo::checkTreeManifest(kTree));
}
BENCHMARK(BM_CheckIntactTree)->Unit(benchmark::kMillisecond);

void BM_CheckTreeWithEveryFileTouched(benchmark::State& state) {
    const fs::path copy = fs::temp_directory_path() / "tarvo-manifest-bench";
    fs::remove_all(copy);
    fs::create_directories(copy);
    for (const char* dir : {"BIN", "ASC", "IMG", "HLP"})
        fs::copy(kTree / dir, copy / dir, fs::copy_options::recursive);
    fs::copy_file(kTree / tarvo::kTreeManifestName, copy / tarvo::kTreeManifestName);
    const auto later = fs::last_write_time(copy / tarvo::kTreeManifestName) + std::chrono::hours(1);
    for (const auto& entry : fs::recursive_directory_iterator(copy))
        if (entry.is_regular_file() && entry.path().filename() != tarvo::kTreeManifestName)
            fs::last_write_time(entry.path(), later);
    for (auto _ : state) benchmark::DoNotOptimize(tarvo::checkTreeManifest(copy));
    fs::remove_all(copy);
}
BENCHMARK(BM_CheckTreeWithEveryFileTouched)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
