#include "engine/undo_history.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <stdexcept>

namespace {

QImage Noise(int w, int h, unsigned seed)
{
    QImage img(w, h, QImage::Format_RGB32);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            reinterpret_cast<std::uint32_t *>(img.scanLine(y))[x] = rng() | 0xFF000000u;
    return img;
}

// Distinct small pictures, a white ground with a dark band n pixels wide.
QImage Numbered(int n)
{
    QImage img(64 + n % 3, 48, QImage::Format_RGB32);
    img.fill(Qt::white);
    for (int x = 0; x < n; ++x)
        img.setPixel(x, 0, 0xFF102030u);
    return img;
}

// A picture of one layer.
TLayerStack Flat(QImage pixels)
{
    TLayerStack stack;
    stack.Reset(std::move(pixels));
    return stack;
}

// Undo and Redo in the order the canvas performs them.
void Undo(TUndoHistory &h, TLayerStack &picture)
{
    h.SaveStep(picture, false, false);
    h.RestoreNewestUndo(picture);
}

void Redo(TUndoHistory &h, TLayerStack &picture)
{
    h.SaveStep(picture, true, false);
    h.RestoreNewestRedo(picture);
}

TEST(UndoHistory, TenStrokesFiveUndosOneRedoThenANewStroke)
{
    TUndoHistory h;
    TLayerStack picture = Flat(Numbered(0));
    for (int i = 1; i <= 10; ++i) {
        h.SaveStep(picture, true, true);
        picture.Pixels(0) = Numbered(i);
    }
    for (int i = 9; i >= 5; --i) {
        Undo(h, picture);
        ASSERT_EQ(picture.Pixels(0), Numbered(i)); // size and pixels come back
        EXPECT_EQ(picture.Pixels(0).format(), QImage::Format_RGB32);
    }
    EXPECT_EQ(h.UndoList().size(), 5u);
    EXPECT_EQ(h.RedoList().size(), 5u);

    Redo(h, picture);
    EXPECT_EQ(picture.Pixels(0), Numbered(6));
    EXPECT_EQ(h.RedoList().size(), 4u);
    h.SaveStep(picture, true, false);
    EXPECT_EQ(h.RedoList().size(), 4u);
    h.SaveStep(picture, true, true);
    EXPECT_FALSE(h.CanRedo());
    EXPECT_EQ(h.UndoList().size(), 8u);
}

TEST(UndoHistory, SizeSumsTheUndoStepsAndClearEmptiesBoth)
{
    TUndoHistory h;
    for (int i = 0; i < 4; ++i)
        h.SaveStep(Flat(Noise(20 + i, 20, unsigned(i))), true, true);
    h.SaveStep(Flat(Noise(50, 50, 9)), false, false);
    std::int64_t sum = 0;
    for (const auto &step : h.UndoList())
        sum += step->Size();
    EXPECT_EQ(h.HistorySize(), sum);
    EXPECT_GT(sum, 4 * 20 * 20 * 3); // noise does not compress

    h.Clear();
    EXPECT_FALSE(h.CanUndo() || h.CanRedo());
    EXPECT_EQ(h.HistorySize(), 0);
    TLayerStack picture = Flat(Numbered(4));
    EXPECT_FALSE(h.RestoreNewestUndo(picture));
    EXPECT_FALSE(h.RestoreNewestRedo(picture));
    EXPECT_EQ(picture.Pixels(0), Numbered(4));
}

TEST(UndoHistory, TrimDropsTheOldestStepsBeyondTheBudget)
{
    // About 3.6 MB of PNG each: two fit into 10 MiB, three do not.
    TUndoHistory h;
    for (unsigned seed = 1; seed <= 3; ++seed)
        h.SaveStep(Flat(Noise(1100, 1100, seed)), true, true);
    ASSERT_EQ(h.UndoList().size(), 2u);
    EXPECT_LE(h.HistorySize(), TUndoHistory::HistoryBudget);
    TLayerStack picture = Flat(QImage());
    h.RestoreNewestUndo(picture);
    h.RestoreNewestUndo(picture);
    EXPECT_EQ(picture.Pixels(0), Noise(1100, 1100, 2));
}

TEST(UndoHistory, AStepLargerThanTheBudgetLeavesNoUndo)
{
    const TLayerStack huge = Flat(Noise(2000, 2000, 4)); // about 12 MB as PNG
    TUndoHistory h;
    h.SaveStep(Flat(Numbered(1)), true, true);
    h.SaveStep(huge, true, true);
    EXPECT_FALSE(h.CanUndo());
    EXPECT_EQ(h.HistorySize(), 0);

    h.SaveStep(huge, false, false); // the redo list has no budget
    ASSERT_TRUE(h.CanRedo());
    EXPECT_GT(h.RedoList().front()->Size(), TUndoHistory::HistoryBudget);
}

// The history after one stroke: picture before it in the undo list.
struct SwapTest : ::testing::Test {
    void SetUp() override
    {
        h.SaveStep(Flat(Numbered(1)), true, true);
        picture.Reset(Numbered(2));
    }

    const QImage &Pixels() const { return picture.Pixels(0); }

    // What the history looks like when stepSaved runs.
    std::function<void()> Record()
    {
        return [this] {
            seen.push_back({h.UndoList().size(), h.RedoList().size(), Pixels() == Numbered(2)});
        };
    }

    struct Seen {
        std::size_t undo, redo;
        bool pictureUnchanged;
        bool operator==(const Seen &) const = default;
    };
    TUndoHistory h;
    TLayerStack picture;
    std::vector<Seen> seen;
};

TEST_F(SwapTest, UndoAndRedoSaveToTheOtherListThenRestore)
{
    ASSERT_TRUE(h.Undo(picture, Record()));
    EXPECT_EQ(Pixels(), Numbered(1));
    EXPECT_EQ(Pixels().format(), QImage::Format_RGB32);
    ASSERT_TRUE(h.Redo(picture, Record()));
    EXPECT_EQ(Pixels(), Numbered(2));
    // Each saw both lists holding the step on its way.
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], (Seen{1, 1, true}));
    EXPECT_EQ(seen[1], (Seen{1, 1, false}));
    EXPECT_EQ(h.UndoList().size(), 1u);
    EXPECT_FALSE(h.CanRedo());

    EXPECT_FALSE(h.Redo(picture, Record()));
    EXPECT_EQ(seen.size(), 2u);
}

// Swaps reuse the memory of the pictures they replace; pictures of other
// sizes and copies held elsewhere must not suffer from it.
TEST_F(SwapTest, RepeatedSwapsOverPicturesOfDifferentSizes)
{
    h.SaveStep(picture, true, true);
    picture.Pixels(0) = Numbered(4);
    h.SaveStep(picture, true, true);
    picture.Pixels(0) = Numbered(6); // three undo steps: 1, 2 and 4 wide, of two widths
    for (int round = 0; round < 2; ++round) {
        for (const int expected : {4, 2, 1}) {
            const QImage held = Pixels();
            const QImage before = Pixels().copy();
            ASSERT_TRUE(h.Undo(picture));
            EXPECT_EQ(Pixels(), Numbered(expected));
            EXPECT_EQ(held, before);
        }
        for (const int expected : {2, 4, 6}) {
            const QImage held = Pixels();
            ASSERT_TRUE(h.Redo(picture));
            EXPECT_EQ(Pixels(), Numbered(expected));
            EXPECT_NE(held, Pixels());
        }
    }
}

TEST_F(SwapTest, AFailedEncodeChangesNothingAndAFailedDecodeKeepsTheSavedStep)
{
    TLayerStack empty = Flat(QImage());
    EXPECT_THROW(h.Undo(empty, Record()), std::runtime_error);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(h.UndoList().size(), 1u);
    EXPECT_FALSE(h.CanRedo());

    // Damage the stored snapshot (its CRC no longer matches).
    auto &stream = const_cast<std::vector<std::uint8_t> &>(h.UndoList().back()->Data());
    stream[stream.size() / 2] ^= 0x10;
    EXPECT_THROW(h.Undo(picture, Record()), std::runtime_error);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (Seen{1, 1, true}));
    EXPECT_EQ(Pixels(), Numbered(2));
    EXPECT_EQ(h.UndoList().size(), 1u);
    EXPECT_EQ(h.RedoList().size(), 1u);
}

// A listener may change the history while the swap is in progress; the swap
// then restores what the lists hold afterwards, as two separate calls would.
TEST_F(SwapTest, StepSavedMayChangeTheLists)
{
    EXPECT_FALSE(h.Undo(picture, [this] { h.Clear(); }));
    EXPECT_EQ(Pixels(), Numbered(2));
    EXPECT_FALSE(h.CanUndo() || h.CanRedo());

    h.SaveStep(Flat(Numbered(1)), true, true);
    ASSERT_TRUE(h.Undo(picture, [this] { h.SaveStep(Flat(Numbered(3)), true, false); }));
    EXPECT_EQ(Pixels(), Numbered(3));
    EXPECT_EQ(h.UndoList().size(), 1u);
}

} // namespace

// A begun step is on the undo list at once and, once compressed, holds the
// bytes SaveStep would have stored; a failed compression drops it and keeps
// the redo list, as a failed SaveStep does, and a step over the budget goes
// when it settles.
TEST(UndoHistory, BegunStepsMatchSavedStepsOnceSettled)
{
    TUndoHistory begun, saved;
    std::atomic<int> compressed = 0;
    begun.OnStepCompressed = [&compressed] { ++compressed; };
    for (int n : {1, 2, 3}) {
        begun.BeginStep(Flat(Numbered(n)), true);
        EXPECT_TRUE(begun.CanUndo());
        saved.SaveStep(Flat(Numbered(n)), true, true);
    }
    EXPECT_TRUE(begun.Settle());
    EXPECT_FALSE(begun.Settle());
    EXPECT_EQ(compressed, 3);
    ASSERT_EQ(begun.UndoList().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(begun.UndoList()[i]->Data(), saved.UndoList()[i]->Data());
    TLayerStack picture = Flat(Numbered(4));
    ASSERT_TRUE(begun.Undo(picture));
    EXPECT_EQ(picture.Pixels(0), Numbered(3));

    begun.BeginStep(Flat(QImage()), true);
    EXPECT_FALSE(begun.CanRedo());
    EXPECT_TRUE(begun.Settle());
    EXPECT_EQ(begun.UndoList().size(), 2u);
    EXPECT_TRUE(begun.CanRedo());

    begun.BeginStep(Flat(Noise(2000, 2000, 4)), true);
    EXPECT_TRUE(begun.CanUndo());
    begun.Settle();
    EXPECT_FALSE(begun.CanUndo());
}
