// Measures the undo snapshot codec on painting-like pictures against
// libpng's default encoder, the reference of every ratio, and compares
// candidate libdeflate levels and row filters. DefaultSnapshotSettings() was
// chosen from the BM_SnapshotCandidate figures: the encode time should be at
// most 0.18 of the default encoder's, a whole Undo at most 0.35 of it, and
// the snapshot no larger than with the zlib settings used before
// (size_vs_zlib2). size_ratio is reported per run, the time ratios are read
// off the table.
//
// In a Release build, on an otherwise idle machine:
//   ./velmora_bench --benchmark_filter='Png|Snapshot' --benchmark_repetitions=5
//                   --benchmark_enable_random_interleaving=true
//                   --benchmark_report_aggregates_only=true
#include "bench_pictures.h"
#include "codecs/png_codec.h"
#include "codecs/snapshot_codec.h"
#include "engine/recovery_writer.h"
#include "engine/undo_history.h"

#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <map>
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

// The size with the zlib settings the snapshots had before libdeflate: zlib
// level 2, no row filter, memory level 6.
std::size_t ZlibSnapshotSize(int width)
{
    static std::map<int, std::size_t> cache;
    auto it = cache.find(width);
    if (it == cache.end()) {
        const PngSettings zlib2{2, PNG_FILTER_NONE, Z_DEFAULT_STRATEGY, 6};
        it = cache.emplace(width, EncodePng(Painting(width), zlib2).size()).first;
    }
    return it->second;
}

template <typename Encode>
void RunEncode(benchmark::State &state, Encode &&encode)
{
    const QImage &img = Painting(int(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto png = encode(img);
        bytes = png.size();
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["bytes"] = double(bytes);
    state.counters["size_ratio"] = double(bytes) / double(DefaultSize(img.width()));
    state.counters["MPix/s"] = benchmark::Counter(double(img.width()) * img.height() / 1e6,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

void RunSnapshotEncode(benchmark::State &state, const SnapshotSettings &settings)
{
    RunEncode(state, [&](const QImage &img) { return EncodeSnapshot(img, settings); });
    state.counters["size_vs_zlib2"] = state.counters["bytes"].value / double(ZlibSnapshotSize(int(state.range(0))));
}

void RunSnapshotDecode(benchmark::State &state, const SnapshotSettings &settings)
{
    const auto png = EncodeSnapshot(Painting(int(state.range(0))), settings);
    for (auto _ : state) {
        QImage img = DecodeSnapshot(png.data(), png.size());
        benchmark::DoNotOptimize(img.constBits());
    }
    state.counters["bytes"] = double(png.size());
}

void BM_PngEncodeDefault(benchmark::State &state)
{
    RunEncode(state, [](const QImage &img) { return EncodePng(img, DefaultPngSettings()); });
}

void BM_PngEncodeSnapshot(benchmark::State &state)
{
    RunSnapshotEncode(state, DefaultSnapshotSettings());
    state.counters["steps_in_budget"] = double(TUndoHistory::HistoryBudget) / state.counters["bytes"].value;
}

void BM_PngDecodeSnapshot(benchmark::State &state)
{
    RunSnapshotDecode(state, DefaultSnapshotSettings());
}

// A whole Undo as the canvas performs it, after the snapshot of the stroke
// that it takes back: snapshot of the current picture to the redo list, then
// restore of the newest undo step.
void BM_PngUndoRoundTrip(benchmark::State &state)
{
    TLayerStack picture;
    picture.Reset(Painting(int(state.range(0))));
    TUndoHistory history;
    for (auto _ : state) {
        history.SaveStep(picture, true, true);
        history.Undo(picture);
    }
}

BENCHMARK(BM_PngEncodeDefault)->Arg(800)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngEncodeSnapshot)->Arg(800)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngDecodeSnapshot)->Arg(800)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngUndoRoundTrip)->Arg(800)->Arg(3000)->Unit(benchmark::kMillisecond);

// One recovery copy from the copy of the picture to the file in place; the
// program runs it on the writer's worker, off the GUI thread.
void BM_RecoveryWrite(benchmark::State &state)
{
    const QImage &picture = Painting(int(state.range(0)));
    QTemporaryDir dir;
    TRecoveryWriter writer(dir.path());
    for (auto _ : state) {
        writer.Submit(picture, {QStringLiteral("painting.png"), 1, {}}, 1);
        writer.Wait();
    }
}
BENCHMARK(BM_RecoveryWrite)->Arg(3000)->Unit(benchmark::kMillisecond);

// Registered at start-up so that every candidate shows up by name.
const bool kCandidatesRegistered = [] {
    const std::pair<const char *, int> filters[] = {
        {"none", pfNone}, {"sub", pfSub}, {"up", pfUp}, {"paeth", pfPaeth}};
    for (const int level : {1, 2, 3, 4, 6}) {
        for (const auto &[filterName, filter] : filters) {
            const SnapshotSettings s{level, filter};
            const std::string name = std::string("L").append(std::to_string(level)).append("_").append(filterName);
            benchmark::RegisterBenchmark((std::string("BM_SnapshotCandidate/") + name).c_str(),
                                         [s](benchmark::State &state) { RunSnapshotEncode(state, s); })
                ->Arg(800)
                ->Arg(3000)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((std::string("BM_SnapshotCandidateDecode/") + name).c_str(),
                                         [s](benchmark::State &state) { RunSnapshotDecode(state, s); })
                ->Arg(800)
                ->Arg(3000)
                ->Unit(benchmark::kMillisecond);
        }
    }
    return true;
}();

} // namespace
