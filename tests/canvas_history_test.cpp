#include "engine/undo_history.h"
#include "canvas_test_util.h"

#include <QRandomGenerator>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

struct HistoryTest : ::testing::Test {
    void SetUp() override
    {
        LayOut(c);
        c.OnHistoryChange = [this](TVelmoraCanvas *, bool u, bool r) { notes.emplace_back(u, r); };
    }

    void Stroke(int i)
    {
        c.MouseDown(mbLeft, ssLeft, 100 + Margin, 100 + 10 * i + Margin);
        c.MouseMove(ssLeft, 200 + Margin, 100 + 10 * i + Margin);
        c.MouseUp(mbLeft, 0, 200 + Margin, 100 + 10 * i + Margin);
    }

    // Everything the layers hold, bottom to top, and the active one.
    struct TLayersState {
        std::vector<TImageLayer> Layers;
        int Active;
        bool operator==(const TLayersState &o) const
        {
            return Active == o.Active && std::equal(Layers.begin(), Layers.end(), o.Layers.begin(), o.Layers.end(),
                                                    [](const TImageLayer &a, const TImageLayer &b) {
                                                        return a.Name == b.Name && a.Visible == b.Visible &&
                                                               a.Opacity == b.Opacity && a.Pixels == b.Pixels &&
                                                               a.Pixels.format() == b.Pixels.format();
                                                    });
        }
    };
    TLayersState Layers() const
    {
        TLayersState state{c.LayersForSaving(), c.ActiveLayer()};
        for (TImageLayer &l : state.Layers)
            l.Pixels = l.Pixels.copy();
        return state;
    }

    TVelmoraCanvas c;
    std::vector<std::pair<bool, bool>> notes;
};

} // namespace

TEST_F(HistoryTest, TenStrokesThenFiveUndosThenANewStroke)
{
    std::vector<QImage> states{c.Picture.copy()};
    for (int i = 0; i < 10; ++i) {
        Stroke(i);
        states.push_back(c.Picture.copy());
    }
    EXPECT_EQ(c.History().UndoList().size(), 10u);
    for (int i = 0; i < 5; ++i)
        c.Undo();
    EXPECT_EQ(c.History().UndoList().size(), 5u);
    EXPECT_EQ(c.History().RedoList().size(), 5u);
    EXPECT_EQ(c.Picture, states[5]);
    c.Redo();
    EXPECT_EQ(c.Picture, states[6]);
    c.Undo();
    EXPECT_EQ(c.Picture, states[5]);
    Stroke(20);
    EXPECT_TRUE(c.History().RedoList().empty());
    EXPECT_EQ(notes.back(), std::make_pair(true, false));
}

TEST_F(HistoryTest, UndoNotifiesTwiceEndingWithTheFinalState)
{
    Stroke(0);
    notes.clear();
    c.Undo();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], std::make_pair(true, true));
    EXPECT_EQ(notes[1], std::make_pair(false, true));
    notes.clear();
    c.Undo();
    EXPECT_TRUE(notes.empty());
    c.Redo();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], std::make_pair(true, true));
    EXPECT_EQ(notes[1], std::make_pair(true, false));
}

TEST_F(HistoryTest, PressWithoutMovementGivesTheSamePictureBackAndKeepsModified)
{
    c.Picture.setPixel(3, 3, qRgb(1, 2, 3));
    const QImage before = c.Picture.copy();
    c.Modified = false;
    c.MouseDown(mbLeft, ssLeft, 50, 50);
    c.MouseUp(mbLeft, 0, 50, 50);
    c.Undo();
    EXPECT_EQ(c.Picture, before);
    EXPECT_FALSE(c.Modified);
}

TEST_F(HistoryTest, UndoAfterClearBringsBackTheLastRecordedPicture)
{
    Stroke(0);
    const QImage stroked = c.Picture.copy();
    Stroke(1);
    c.Clear(clWhite);
    c.Undo();
    EXPECT_EQ(c.Picture, stroked);
}

TEST_F(HistoryTest, PictureLargerThanTheBudgetKeepsNoUndoStep)
{
    c.SetCanvasSize(2000, 2000, false, false);
    auto *rng = QRandomGenerator::global();
    for (int y = 0; y < 2000; ++y) {
        auto *row = reinterpret_cast<quint32 *>(c.Picture.scanLine(y));
        for (int x = 0; x < 2000; ++x)
            row[x] = rng->generate();
    }
    notes.clear();
    Stroke(0);
    // The step shows at the press and goes once its compression found it
    // too large, also when a call that does not notify settled it first.
    EXPECT_EQ(c.HistorySize(), 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return notes.size() == 2; }, 120000));
    EXPECT_FALSE(c.CanUndo());
    EXPECT_EQ(notes[0], std::make_pair(true, false));
    EXPECT_EQ(notes[1], std::make_pair(false, false));
}

TEST_F(HistoryTest, EveryChangeOfTheLayersIsUndoneAndRedoneWhole)
{
    c.SetReflectionMode(rmNone);
    QImage pasted(300, 300, QImage::Format_ARGB32);
    pasted.fill(qRgba(0, 0, 255, 128));
    const std::vector<std::function<void()>> changes = {
        [&] { c.NewLayer(); },
        [&] { Stroke(0); },
        [&] { c.DuplicateLayer(); },
        [&] { c.SetLayerName(2, "Lines"); },
        [&] { c.SetLayerOpacity(1, 40); },
        [&] { c.SetLayerVisible(0, false); },
        [&] { c.LowerLayer(); },
        [&] { c.MoveLayer(0, 2); },
        [&] { c.RaiseLayer(); },
        [&] { c.PasteAsLayer(pasted, QPoint(650, 450)); },
        [&] { c.MergeDown(); },
        [&] { c.DeleteLayer(); },
        [&] { c.Flatten(); },
    };
    std::vector<TLayersState> states{Layers()};
    for (const auto &change : changes) {
        change();
        states.push_back(Layers());
        ASSERT_FALSE(states.back() == states[states.size() - 2]) << states.size() - 1;
    }
    ASSERT_EQ(c.Layers().Count(), 1);
    for (std::size_t i = changes.size(); i-- > 0;) {
        c.Undo();
        ASSERT_TRUE(Layers() == states[i]) << "undo to " << i;
    }
    EXPECT_FALSE(c.CanUndo());
    for (std::size_t i = 1; i <= changes.size(); ++i) {
        c.Redo();
        ASSERT_TRUE(Layers() == states[i]) << "redo to " << i;
    }
}
