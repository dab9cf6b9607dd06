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
#include "canvas/png_codec.h"
#include "canvas/snapshot_codec.h"
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

// A kaleidoscope-like painting: white ground, a few filled shapes standing in
// for bucket fills, then a few hundred mouse strokes with the brush-size
// presets (1 to 21 pixels, now and then a wider one), each repeated around
// the centre 13 times as with the default reflection count, drawn without
// antialiasing like the canvas does. The seed makes it repeatable.
QImage MakePainting(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);
    std::mt19937 rng(20240611u);
    const auto uniform = [&](int lo, int hi) { return lo + int(rng() % std::uint32_t(hi - lo + 1)); };
    static const QRgb kPalette[] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080,
                                    0x808080, 0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF,
                                    0x00FFFF, 0xFF8040, 0x804000, 0x80FF80, 0x4080FF, 0xFF80C0};
    const auto colour = [&]() {
        if (rng() % 4 == 0)
            return QColor(uniform(0, 255), uniform(0, 255), uniform(0, 255));
        return QColor(kPalette[rng() % std::size(kPalette)]);
    };
    const auto randomPoint = [&](int reach) { return QPoint(uniform(-reach, reach), uniform(-reach, reach)); };

    const int scale = std::min(width, height);
    constexpr int kCopies = 13;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.translate(width / 2.0, height / 2.0);
    const auto drawCopies = [&](auto &&draw) {
        for (int c = 0; c < kCopies; ++c) {
            p.rotate(360.0 / kCopies);
            draw();
        }
    };

    for (int i = 0; i < 30; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour());
        const int r = uniform(scale / 80, scale / 20);
        const QPoint at = randomPoint(scale / 2);
        QPolygon poly;
        const int corners = uniform(3, 7);
        for (int k = 0; k < corners; ++k) {
            const double a = 2 * M_PI * k / corners;
            poly << at + QPoint(int(r * std::cos(a)), int(r * std::sin(a)));
        }
        if (i % 2)
            drawCopies([&] { p.drawEllipse(at, r, r * 2 / 3); });
        else
            drawCopies([&] { p.drawPolygon(poly); });
    }

    static const int kBrushSizes[] = {1, 3, 7, 13, 21, 21, 40};
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 300; ++i) {
        const int brush = kBrushSizes[rng() % std::size(kBrushSizes)];
        p.setPen(QPen(colour(), brush, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        // A mouse drag: short segments turning a little at each step.
        QPointF at = randomPoint(scale / 2);
        double heading = uniform(0, 359) * M_PI / 180;
        QPainterPath path(at);
        for (int k = uniform(10, 60); k > 0; --k) {
            heading += uniform(-30, 30) * M_PI / 180;
            const double step = uniform(3, 12) * scale / 800.0;
            at += QPointF(step * std::cos(heading), step * std::sin(heading));
            path.lineTo(at);
        }
        drawCopies([&] { p.drawPath(path); });
    }
    return img;
}

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
    QImage picture = Painting(int(state.range(0)));
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
