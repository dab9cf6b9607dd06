#include "engine/flood_fill.h"

#include <algorithm>

namespace {

bool Inside(QPoint p, int width, int height)
{
    return p.x() >= 0 && p.y() >= 0 && p.x() < width && p.y() < height;
}

} // namespace

TFloodFill::TFloodFill(TThreadPool &pool, std::int64_t splitPixels)
    : Pool(pool)
    , SplitPixels(splitPixels)
{
}

void TFloodFill::SetTolerance(int tolerance)
{
    Tolerance = std::clamp(tolerance, 0, 255);
}

std::int64_t TFloodFill::Fill(QImage &image, QPoint seed, QRgb color, const RunHook &beforeRun)
{
    return Fill(image, std::span<const QPoint>(&seed, 1), color, beforeRun);
}

std::int64_t TFloodFill::Fill(QImage &image, std::span<const QPoint> seeds, QRgb color, const RunHook &beforeRun)
{
    return Fill(image, image, seeds, color, beforeRun);
}

// Exact areas in the picture itself are painted as they are found, unless
// every run must be handed to beforeRun before the first is painted; all
// others are marked first, as a painted pixel would no longer show the
// colour another seed's area is matched on.
std::int64_t TFloodFill::Fill(const QImage &source, QImage &target, std::span<const QPoint> seeds, QRgb color,
                              const RunHook &beforeRun)
{
    const bool paints = Tolerance == 0 && &source == &target && !beforeRun;
    SetUp(source, target, seeds, color, paints);
    if (paints) {
        FindAreas(seeds);
        return Filled();
    }
    struct TEraseMarks {
        TFloodFill &Fill;
        bool Armed = true;
        ~TEraseMarks()
        {
            if (!Armed)
                return;
            for (int i = 0; i < Fill.Count; ++i)
                Fill.Bands[std::size_t(i)]->EraseMarks(Fill.Scene);
        }
    } eraseMarks{*this};
    FindAreas(seeds);
    PaintAreas(beforeRun);
    eraseMarks.Armed = false;
    return Filled();
}

void TFloodFill::SetUp(const QImage &source, QImage &target, std::span<const QPoint> seeds, QRgb color, bool paints)
{
    Scene = {};
    Scene.Width = target.width();
    Scene.Height = target.height();
    Scene.New = color;
    Scene.Tolerance = Tolerance;
    Scene.WrapX = WrapX;
    Scene.WrapY = WrapY;
    Scene.Alpha = source.hasAlphaChannel();
    Scene.Paints = paints;
    if (!paints) {
        // Taken before any pixel changes: when memory runs out, the image
        // is left as it was.
        const std::size_t pixels = std::size_t(Scene.Width) * std::size_t(Scene.Height);
        if (Marks.size() != pixels) {
            Marks = {};
            Marks.assign(pixels, 0);
        }
        Scene.Marks = Marks.data();
    }
    // Detaches a shared picture before the bands keep its address, and
    // before the source's, which may be the same picture.
    Scene.Target = target.bits();
    Scene.TargetStride = target.bytesPerLine();
    Scene.Source = source.constBits();
    Scene.SourceStride = source.bytesPerLine();

    Count = BandCount(seeds, Scene.Width, Scene.Height);
    const int rows = std::max(1, (Scene.Height + Count - 1) / Count);
    Scene.BandRows = rows;
    while (int(Bands.size()) < Count)
        Bands.push_back(std::make_unique<TFloodBand>());
    for (int i = 0; i < Count; ++i)
        Bands[std::size_t(i)]->Begin(std::min(i * rows, Scene.Height), std::min((i + 1) * rows, Scene.Height));
}

// Seeds that all lie in one band would leave the other threads waiting on
// what that band finds.
int TFloodFill::BandCount(std::span<const QPoint> seeds, int width, int height) const
{
    const int threads = Pool.Threads();
    if (threads < 2 || std::int64_t(width) * height < SplitPixels)
        return 1;
    const int rows = (height + threads - 1) / threads;
    int first = -1;
    for (QPoint seed : seeds) {
        if (!Inside(seed, width, height))
            continue;
        const int band = seed.y() / rows;
        if (first < 0)
            first = band;
        else if (band != first)
            return threads;
    }
    return 1;
}

// Near areas of different colours may overlap, and the marks of one colour
// would be overwritten by another's as the bands hand their areas back and
// forth without end: the areas of one colour are found in every band before
// those of the next.
void TFloodFill::FindAreas(std::span<const QPoint> seeds)
{
    Seeds.clear();
    for (QPoint seed : seeds) {
        if (!Inside(seed, Scene.Width, Scene.Height))
            continue;
        const auto *row = reinterpret_cast<const QRgb *>(Scene.Source + seed.y() * Scene.SourceStride);
        const QRgb key = Scene.Tolerance > 0 ? FloodKey(row[seed.x()], Scene.Alpha) : 0;
        Seeds.push_back(TFloodEntry{seed.y(), seed.x(), seed.x(), 0, key});
    }
    const auto byColor = [](const TFloodEntry &a, const TFloodEntry &b) { return a.Old < b.Old; };
    if (!std::is_sorted(Seeds.begin(), Seeds.end(), byColor))
        std::sort(Seeds.begin(), Seeds.end(), byColor);
    for (auto seed = Seeds.begin(); seed != Seeds.end();) {
        const QRgb color = seed->Old;
        for (; seed != Seeds.end() && seed->Old == color; ++seed)
            Bands[std::size_t(seed->Y / Scene.BandRows)]->In.push_back(*seed);
        RunRounds();
    }
}

// Rounds until no band has anywhere left to go on. A round with work in one
// band only, as when an area winds from band to band, stays on the calling
// thread.
void TFloodFill::RunRounds()
{
    for (;;) {
        int busy = 0;
        TFloodBand *last = nullptr;
        for (int i = 0; i < Count; ++i) {
            if (!Bands[std::size_t(i)]->In.empty()) {
                ++busy;
                last = Bands[std::size_t(i)].get();
            }
        }
        if (busy == 0)
            return;
        if (busy == 1)
            last->Fill(Scene);
        else
            ForEachBand([this](TFloodBand &band) { band.Fill(Scene); });
        PassOnEntries();
    }
}

void TFloodFill::PassOnEntries()
{
    for (int i = 0; i < Count; ++i)
        Bands[std::size_t(i)]->In.clear();
    for (int i = 0; i < Count; ++i) {
        std::vector<TFloodEntry> &out = Bands[std::size_t(i)]->Out;
        for (const TFloodEntry &e : out)
            Bands[std::size_t(e.Y / Scene.BandRows)]->In.push_back(e);
        out.clear();
    }
}

// Every run is saved before the first is painted, so a hook that fails
// leaves the image unchanged.
void TFloodFill::PaintAreas(const RunHook &beforeRun)
{
    ForEachBand([](TFloodBand &band) { band.SortRuns(); });
    if (beforeRun) {
        for (int i = 0; i < Count; ++i)
            for (const TSpan &r : Bands[std::size_t(i)]->Runs)
                beforeRun(r.Y, r.X0, r.X1);
    }
    ForEachBand([this](TFloodBand &band) { band.PaintRuns(Scene); });
}

void TFloodFill::ForEachBand(const std::function<void(TFloodBand &)> &work)
{
    if (Count == 1) {
        work(*Bands.front());
        return;
    }
    Pool.Run(Count, [&](int i) { work(*Bands[std::size_t(i)]); });
}

std::int64_t TFloodFill::Filled() const
{
    std::int64_t filled = 0;
    for (int i = 0; i < Count; ++i)
        filled += Bands[std::size_t(i)]->Filled;
    return filled;
}
