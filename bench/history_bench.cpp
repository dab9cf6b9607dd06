// Measures the undo snapshot codec on painting-like pictures and compares
// candidate encoder settings with libpng's defaults. SnapshotPngSettings() was
// chosen from the BM_PngCandidate figures: the encode time should be at most a
// quarter of the default encoder's and the size at most 1.6 times its size;
// size_ratio is reported per run, the time ratio is read off the table.
//
// In a Release build, on an otherwise idle machine:
//   ./velmora_bench --benchmark_filter=Png --benchmark_repetitions=5
//                   --benchmark_enable_random_interleaving=true
//                   --benchmark_report_aggregates_only=true
#include "bench_pictures.h"
#include "canvas/png_codec.h"
#include "canvas/undo_history.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <cmath>
#include <map>
#include <random>
#include <string>
#include <utility>

namespace {

const QImage &Painting(int width)
{
    static std::map<int, QImage> cache;
    auto it = cache.find(width);
    if (it == cache.end())
        it = cache.emplace(width, MakePainting(width, width == 800 ? 600 : width)).first;
    return it->second;
}

std::size_t DefaultSize(int width)
{
    static std::map<int, std::size_t> cache;
    auto it = cache.find(width);
    if (it == cache.end())
        it = cache.emplace(width, EncodePng(Painting(width), DefaultPngSettings()).size()).first;
    return it->second;
}

void RunEncode(benchmark::State &state, const PngSettings &settings)
{
    const QImage &img = Painting(int(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto png = EncodePng(img, settings);
        bytes = png.size();
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["bytes"] = double(bytes);
    state.counters["size_ratio"] = double(bytes) / double(DefaultSize(img.width()));
    state.counters["MPix/s"] = benchmark::Counter(double(img.width()) * img.height() / 1e6,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

void BM_PngEncodeDefault(benchmark::State &state)
{
    RunEncode(state, DefaultPngSettings());
}

void BM_PngEncodeSnapshot(benchmark::State &state)
{
    RunEncode(state, SnapshotPngSettings());
    state.counters["steps_in_budget"] = double(TUndoHistory::HistoryBudget) / state.counters["bytes"].value;
}

void BM_PngDecodeSnapshot(benchmark::State &state)
{
    const auto png = EncodePng(Painting(int(state.range(0))), SnapshotPngSettings());
    for (auto _ : state) {
        QImage img = DecodePng(png.data(), png.size());
        benchmark::DoNotOptimize(img.constBits());
    }
    state.counters["bytes"] = double(png.size());
}

// A whole Undo as the canvas performs it: snapshot of the current picture to
// the redo list, then restore of the newest undo step.
void BM_PngUndoRoundTrip(benchmark::State &state)
{
    QImage picture = Painting(int(state.range(0)));
    TUndoHistory history;
    for (auto _ : state) {
        history.SaveStep(picture, true, true);
        history.SaveStep(picture, false, false);
        history.RestoreNewestUndo(picture);
    }
}

BENCHMARK(BM_PngEncodeDefault)->Arg(800)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngEncodeSnapshot)->Arg(800)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngDecodeSnapshot)->Arg(800)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngUndoRoundTrip)->Arg(800)->Arg(3000)->Unit(benchmark::kMillisecond);

struct Candidate {
    const char *name;
    PngSettings settings;
};

PngSettings Make(int level, int filters, int strategy, int memLevel = -1, int windowBits = -1)
{
    return PngSettings{level, filters, strategy, memLevel, windowBits};
}

// Registered at start-up so that every candidate shows up by name.
const bool kCandidatesRegistered = [] {
    const Candidate candidates[] = {
        {"L6_all_filtered", Make(6, PNG_ALL_FILTERS, Z_FILTERED)}, // what libpng picks for RGB
        {"L1_none_default", Make(1, PNG_FILTER_NONE, Z_DEFAULT_STRATEGY)},
        {"L1_none_default_mem6", Make(1, PNG_FILTER_NONE, Z_DEFAULT_STRATEGY, 6)},
        {"L1_none_rle", Make(1, PNG_FILTER_NONE, Z_RLE)},
        {"L1_sub_default", Make(1, PNG_FILTER_SUB, Z_DEFAULT_STRATEGY)},
        {"L1_sub_rle", Make(1, PNG_FILTER_SUB, Z_RLE)},
        {"L1_sub_default_win12", Make(1, PNG_FILTER_SUB, Z_DEFAULT_STRATEGY, -1, 12)},
        {"L1_up_default", Make(1, PNG_FILTER_UP, Z_DEFAULT_STRATEGY)},
        {"L1_up_default_mem6", Make(1, PNG_FILTER_UP, Z_DEFAULT_STRATEGY, 6)},
        {"L1_up_default_mem9", Make(1, PNG_FILTER_UP, Z_DEFAULT_STRATEGY, 9)},
        {"L1_up_rle", Make(1, PNG_FILTER_UP, Z_RLE)},
        {"L1_up_huffman", Make(1, PNG_FILTER_UP, Z_HUFFMAN_ONLY)},
        {"L2_none_default", Make(2, PNG_FILTER_NONE, Z_DEFAULT_STRATEGY)},
        {"L2_none_default_mem5", Make(2, PNG_FILTER_NONE, Z_DEFAULT_STRATEGY, 5)},
        {"L2_none_default_mem6", Make(2, PNG_FILTER_NONE, Z_DEFAULT_STRATEGY, 6)},
        {"L2_none_default_mem7", Make(2, PNG_FILTER_NONE, Z_DEFAULT_STRATEGY, 7)},
        {"L2_up_default_mem6", Make(2, PNG_FILTER_UP, Z_DEFAULT_STRATEGY, 6)},
        {"L3_none_default_mem6", Make(3, PNG_FILTER_NONE, Z_DEFAULT_STRATEGY, 6)},
    };
    for (const Candidate &c : candidates) {
        const PngSettings s = c.settings;
        benchmark::RegisterBenchmark((std::string("BM_PngCandidate/") + c.name).c_str(),
                                     [s](benchmark::State &state) { RunEncode(state, s); })
            ->Arg(800)
            ->Arg(3000)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
