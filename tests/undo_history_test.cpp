#include "canvas/undo_history.h"

#include <gtest/gtest.h>

#include <random>

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

// Undo and Redo in the order the canvas performs them.
void Undo(TUndoHistory &h, QImage &picture)
{
    h.SaveStep(picture, false, false);
    h.RestoreNewestUndo(picture);
}

void Redo(TUndoHistory &h, QImage &picture)
{
    h.SaveStep(picture, true, false);
    h.RestoreNewestRedo(picture);
}

TEST(UndoHistory, TenStrokesFiveUndosOneRedoThenANewStroke)
{
    TUndoHistory h;
    QImage picture = Numbered(0);
    for (int i = 1; i <= 10; ++i) {
        h.SaveStep(picture, true, true);
        picture = Numbered(i);
    }
    for (int i = 9; i >= 5; --i) {
        Undo(h, picture);
        ASSERT_EQ(picture, Numbered(i)); // size and pixels come back
        EXPECT_EQ(picture.format(), QImage::Format_RGB32);
    }
    EXPECT_EQ(h.UndoList().size(), 5u);
    EXPECT_EQ(h.RedoList().size(), 5u);

    Redo(h, picture);
    EXPECT_EQ(picture, Numbered(6));
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
        h.SaveStep(Noise(20 + i, 20, unsigned(i)), true, true);
    h.SaveStep(Noise(50, 50, 9), false, false);
    std::int64_t sum = 0;
    for (const auto &step : h.UndoList())
        sum += step->Size();
    EXPECT_EQ(h.HistorySize(), sum);
    EXPECT_GT(sum, 4 * 20 * 20 * 3); // noise does not compress

    h.Clear();
    EXPECT_FALSE(h.CanUndo() || h.CanRedo());
    EXPECT_EQ(h.HistorySize(), 0);
    QImage picture = Numbered(4);
    EXPECT_FALSE(h.RestoreNewestUndo(picture));
    EXPECT_FALSE(h.RestoreNewestRedo(picture));
    EXPECT_EQ(picture, Numbered(4));
}

TEST(UndoHistory, TrimDropsTheOldestStepsBeyondTheBudget)
{
    // About 3.6 MB of PNG each: two fit into 10 MiB, three do not.
    TUndoHistory h;
    for (unsigned seed = 1; seed <= 3; ++seed)
        h.SaveStep(Noise(1100, 1100, seed), true, true);
    ASSERT_EQ(h.UndoList().size(), 2u);
    EXPECT_LE(h.HistorySize(), TUndoHistory::HistoryBudget);
    QImage picture;
    h.RestoreNewestUndo(picture);
    h.RestoreNewestUndo(picture);
    EXPECT_EQ(picture, Noise(1100, 1100, 2));
}

TEST(UndoHistory, AStepLargerThanTheBudgetLeavesNoUndo)
{
    const QImage huge = Noise(2000, 2000, 4); // about 12 MB as PNG
    TUndoHistory h;
    h.SaveStep(Numbered(1), true, true);
    h.SaveStep(huge, true, true);
    EXPECT_FALSE(h.CanUndo());
    EXPECT_EQ(h.HistorySize(), 0);

    h.SaveStep(huge, false, false); // the redo list has no budget
    ASSERT_TRUE(h.CanRedo());
    EXPECT_GT(h.RedoList().front()->Size(), TUndoHistory::HistoryBudget);
}

} // namespace
