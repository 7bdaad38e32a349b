// Speed of pictor's canvas operations and of the BMP reader on map-sized
// pictures.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "bmp_reader.h"
#include "pictor.h"

namespace {

constexpr int kWhite = 0xFFFFFF, kBlack = 0, kBlue = 0xFF0000;

void openCanvas(int width, int height) {
    if (GfxIsOpen(0)) GfxWindowEx(0, 1);
    OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 0, 0, width, height, 0);
    GfxOption(1, 0);
    GfxOption(6, 0);
}

void BM_ClearFullHd(benchmark::State& state) {
    openCanvas(1920, 1080);
    int colour = 0;
    for (auto _ : state) {
        BrushColor(colour);
        GfxCLS();
        colour ^= 0x404040;
    }
    state.SetItemsProcessed(state.iterations() * 1920LL * 1080LL);
    GfxWindowEx(0, 1);
}
BENCHMARK(BM_ClearFullHd)->Unit(benchmark::kMillisecond);

void BM_FillRectangleFullHd(benchmark::State& state) {
    openCanvas(1920, 1080);
    Brush(kBlue, 0, 0);
    for (auto _ : state) {
        DrawFrom(0, 0);
        DrawArea(1920, 1080);
    }
    state.SetItemsProcessed(state.iterations() * 1920LL * 1080LL);
    GfxWindowEx(0, 1);
}
BENCHMARK(BM_FillRectangleFullHd)->Unit(benchmark::kMillisecond);

void BM_TenThousandLines(benchmark::State& state) {
    openCanvas(1920, 1080);
    std::mt19937 random(7);
    std::vector<int> ends(4 * 10000);
    for (size_t i = 0; i < ends.size(); i += 2) {
        ends[i] = static_cast<int>(random() % 1920);
        ends[i + 1] = static_cast<int>(random() % 1080);
    }
    GfxWindow(2); // as the programs draw: updates suspended
    for (auto _ : state) {
        for (size_t i = 0; i < ends.size(); i += 4)
            DrawLine(ends[i], ends[i + 1], ends[i + 2], ends[i + 3]);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
    GfxWindowEx(0, 1);
}
BENCHMARK(BM_TenThousandLines)->Unit(benchmark::kMillisecond);

void BM_FloodFillMapSized(benchmark::State& state) {
    openCanvas(9600, 6000);
    GfxWindow(2);
    Pen(kBlack, 0, 0);
    Brush(kWhite, 0, 0);
    GfxCLS();
    // A circle of walls and a few crossings: the area has many spans.
    DrawFrom(4800, 3000);
    BrushStyle(1);
    DrawCircle(2900);
    for (int y = 200; y < 6000; y += 400) DrawLine(0, y, 9000, y + 100);
    int colour = 0x00FF00;
    for (auto _ : state) {
        BrushColor(colour);
        BrushStyle(0);
        DrawFrom(10, 10);
        DrawFlood(0, kBlack);
        colour ^= 0x0F0F0F;
    }
    state.SetItemsProcessed(state.iterations() * 9600LL * 6000LL);
    GfxWindowEx(0, 1);
}
BENCHMARK(BM_FloodFillMapSized)->Unit(benchmark::kMillisecond)->Iterations(5);

// A run-length encoded 8-bit map of 9600 x 6000: rows of runs 1..255 long
// of a few colours, like land and sea on a world map.
std::vector<uint8_t> syntheticRle8Map() {
    const int width = 9600, height = 6000;
    std::vector<uint8_t> runs;
    std::mt19937 random(11);
    for (int y = 0; y < height; ++y) {
        int x = 0;
        while (x < width) {
            const int length = std::min(width - x, 1 + static_cast<int>(random() % 255));
            runs.push_back(static_cast<uint8_t>(length));
            runs.push_back(static_cast<uint8_t>(random() % 4));
            x += length;
        }
        runs.push_back(0);
        runs.push_back(0);
    }
    runs.push_back(0);
    runs.push_back(1);
    std::vector<uint8_t> file(14 + 40 + 4 * 4, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int k = 0; k < 4; ++k) file[at + k] = static_cast<uint8_t>(v >> (8 * k));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size() + runs.size()));
    put32(10, static_cast<uint32_t>(file.size()));
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    file[26] = 1;
    file[28] = 8;
    put32(30, 1); // RLE8
    put32(34, static_cast<uint32_t>(runs.size()));
    put32(46, 4);
    const uint32_t palette[4] = {0x203060, 0x40A040, 0xC0C0A0, 0xFFFFFF};
    for (int i = 0; i < 4; ++i) put32(54 + 4 * i, palette[i]);
    const size_t header = file.size();
    file.resize(header + runs.size());
    for (size_t i = 0; i < runs.size(); ++i) file[header + i] = runs[i];
    return file;
}

void BM_DecodeRle8Map(benchmark::State& state) {
    const std::vector<uint8_t> file = syntheticRle8Map();
    for (auto _ : state) {
        auto result = pictor::decodeBmp(file);
        if (!result.ok) state.SkipWithError(result.error.c_str());
        benchmark::DoNotOptimize(result.picture.pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.size()));
    state.counters["file_MB"] = static_cast<double>(file.size()) / 1e6;
}
BENCHMARK(BM_DecodeRle8Map)->Unit(benchmark::kMillisecond);

void BM_SaveFullHd(benchmark::State& state) {
    openCanvas(1920, 1080);
    for (auto _ : state) benchmark::DoNotOptimize(SaveGfxWindow("/tmp/pictor-bench-save.bmp"));
    std::remove("/tmp/pictor-bench-save.bmp");
    GfxWindowEx(0, 1);
}
BENCHMARK(BM_SaveFullHd)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
