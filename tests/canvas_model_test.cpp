#include "engine/undo_history.h"
#include "canvas/velmora_canvas.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

bool AllPixels(const QImage &img, QRect area, QRgb rgb)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) != (rgb & 0xFFFFFF))
                return false;
    return true;
}

} // namespace

TEST(CanvasModel, NewCanvasDefaults)
{
    TVelmoraCanvas c;
    EXPECT_EQ(c.PictureWidth(), 800);
    EXPECT_EQ(c.PictureHeight(), 600);
    EXPECT_EQ(c.Picture.format(), QImage::Format_RGB32);
    EXPECT_TRUE(AllPixels(c.Picture, c.Picture.rect(), qRgb(255, 255, 255)));
    EXPECT_EQ(c.MasterCenter, QPoint(400, 300));
    EXPECT_EQ(c.SecondCenter, QPoint(400, 100));
    EXPECT_EQ(c.MasterRefCount, 13);
    EXPECT_EQ(c.SecondRefCount, 3);
    EXPECT_EQ(c.ReflectionMode, rmPrimary);
    EXPECT_EQ(c.Tool, ctBrush);
    EXPECT_EQ(c.MasterColor, clBlack);
    EXPECT_EQ(c.SecondColor, clWhite);
    EXPECT_EQ(c.BrushSize, 1);
    EXPECT_EQ(c.EraserSize, 10);
    EXPECT_TRUE(c.Modified);
    EXPECT_TRUE(c.MasterActive);
    EXPECT_TRUE(c.Interactive);
    EXPECT_TRUE(c.AutoMask);
    EXPECT_TRUE(c.Shadow);
    EXPECT_EQ(c.ColoringMode, cmNone);
    EXPECT_FALSE(c.Mask);
    EXPECT_FALSE(c.ShowGrid || c.ShowCenterPoints || c.ShowDrawingPoints || c.PreciseBrush || c.Dragging);
    EXPECT_EQ(c.CursorPoint, QPoint(-1, -1));
    EXPECT_FALSE(c.CanUndo());
    EXPECT_FALSE(c.CanRedo());
    EXPECT_EQ(c.focusPolicy() & Qt::TabFocus, Qt::TabFocus);
}

TEST(CanvasModel, CountSettersClampAndRepaintOnlyOnChange)
{
    TVelmoraCanvas c;
    int before = c.RepaintCount;
    c.SetMasterRefCount(1);
    EXPECT_EQ(c.MasterRefCount, 2);
    EXPECT_EQ(c.RepaintCount, before + 1);
    before = c.RepaintCount;
    c.SetMasterRefCount(2);
    c.SetMasterRefCount(1);
    c.SetMasterRefCount(-5);
    EXPECT_EQ(c.MasterRefCount, 2);
    EXPECT_EQ(c.RepaintCount, before);

    c.SetSecondRefCount(-5);
    EXPECT_EQ(c.SecondRefCount, 2);
    c.SetSecondRefCount(999);
    EXPECT_EQ(c.SecondRefCount, 999);
    before = c.RepaintCount;
    c.SetSecondRefCount(999);
    c.SetTool(ctBrush);
    c.SetShowGrid(false);
    c.SetShadow(true);
    c.SetReflectionMode(rmPrimary);
    EXPECT_EQ(c.RepaintCount, before);
    c.SetShowGrid(true);
    EXPECT_EQ(c.RepaintCount, before + 1);
}

TEST(CanvasModel, ReflectionModeBringsBackMasterCentreOutsideSecondary)
{
    TVelmoraCanvas c;
    c.SetReflectionMode(rmSecondary);
    c.MasterActive = false;
    c.SetReflectionMode(rmSecondary);
    EXPECT_FALSE(c.MasterActive);
    c.SetReflectionMode(rmMirrorPrimary);
    EXPECT_TRUE(c.MasterActive);
    EXPECT_EQ(c.ReflectionMode, rmMirrorPrimary);
}

TEST(CanvasModel, CanvasSizeCropsKeepsOrClears)
{
    TVelmoraCanvas c;
    c.resize(2000, 2000);
    c.Picture.setPixel(10, 10, qRgb(255, 0, 0));
    c.Picture.setPixel(799, 599, qRgb(0, 0, 255));
    c.SaveUndoStep(true, true);
    c.SetColoringMode(cmProtectColor);
    c.Modified = false;
    std::vector<std::pair<bool, bool>> notes;
    c.OnHistoryChange = [&](TVelmoraCanvas *, bool u, bool r) { notes.emplace_back(u, r); };

    c.SetCanvasSize(1000, 700, false, false);
    EXPECT_EQ(c.PictureWidth(), 1000);
    EXPECT_EQ(c.PictureHeight(), 700);
    EXPECT_EQ(c.Picture.pixel(10, 10), qRgb(255, 0, 0));
    EXPECT_EQ(c.Picture.pixel(799, 599), qRgb(0, 0, 255));
    EXPECT_TRUE(AllPixels(c.Picture, QRect(800, 0, 200, 700), qRgb(255, 255, 255)));
    EXPECT_EQ(c.MasterCenter, QPoint(400, 300));
    EXPECT_EQ(c.SecondCenter, QPoint(400, 100));
    EXPECT_EQ(c.ColoringMode, cmNone);
    EXPECT_TRUE(c.Modified);
    EXPECT_FALSE(c.CanUndo());
    EXPECT_FALSE(c.CanRedo());
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes.back(), std::make_pair(false, false));

    c.SetCanvasSize(300, 200, false, false);
    EXPECT_EQ(c.Picture.pixel(10, 10), qRgb(255, 0, 0));

    c.SetCanvasSize(500, 400, true, true);
    EXPECT_TRUE(AllPixels(c.Picture, c.Picture.rect(), qRgb(255, 255, 255)));
    EXPECT_EQ(c.MasterCenter, QPoint(250, 200));
    EXPECT_EQ(c.SecondCenter, QPoint(400, 100));
}

TEST(CanvasModel, ClearFillsAndLeavesHistory)
{
    TVelmoraCanvas c;
    c.SaveUndoStep(true, true);
    c.Modified = false;
    c.Clear(MakeColor(10, 20, 30));
    EXPECT_TRUE(c.Modified);
    EXPECT_TRUE(AllPixels(c.Picture, c.Picture.rect(), qRgb(10, 20, 30)));
    EXPECT_TRUE(c.CanUndo());
}

TEST(CanvasModel, LargePicturesDeferRepaints)
{
    TVelmoraCanvas c;
    c.SetCanvasSize(1300, 1300, true, false);
    int before = c.RepaintCount;
    c.RequestRepaint();
    EXPECT_EQ(c.RepaintCount, before + 1);

    c.SetCanvasSize(1301, 10, true, false);
    before = c.RepaintCount;
    for (int i = 0; i < 11; ++i)
        c.RequestRepaint();
    EXPECT_EQ(c.RepaintCount, before);
    EXPECT_EQ(c.DeferredRepaints, 11);
    // The twelfth request in a row paints at once.
    c.RequestRepaint();
    EXPECT_EQ(c.RepaintCount, before + 1);
    EXPECT_EQ(c.DeferredRepaints, 0);

    // A burst gives one repaint when the timer runs out.
    c.RequestRepaint();
    c.RequestRepaint();
    EXPECT_EQ(c.RepaintCount, before + 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return c.RepaintCount == before + 2; }, 1000));
}

TEST(CanvasModel, ImageRectCentresSmallPicturesAndSpansLargeOnes)
{
    EXPECT_EQ(TVelmoraCanvas::ComputeImageRect(800, 600, 850, 650), (TRect{25, 25, 825, 625}));
    EXPECT_EQ(TVelmoraCanvas::ComputeImageRect(800, 600, 801, 600), (TRect{0, 0, 800, 600}));
    EXPECT_EQ(TVelmoraCanvas::ComputeImageRect(800, 600, 700, 500), (TRect{0, 0, 700, 500}));

    TVelmoraCanvas c;
    c.resize(850, 650);
    c.RepaintNow();
    EXPECT_EQ(c.ClientToPicture(QPoint(25, 25)), QPoint(0, 0));
    c.SetMasterCenter(QPoint(3, 4));
    c.ResetMasterCenter();
    c.ResetSecondCenter();
    EXPECT_EQ(c.MasterCenter, QPoint(400, 300));
    EXPECT_EQ(c.SecondCenter, QPoint(400, 100));
}

TEST(CanvasModel, LoadPictureTakesPixelsAndEmptiesHistory)
{
    TVelmoraCanvas c;
    c.SaveUndoStep(true, true);
    QImage img(30, 20, QImage::Format_ARGB32);
    img.fill(qRgba(1, 2, 3, 255));
    c.Modified = false;
    c.LoadPicture(img);
    EXPECT_EQ(c.Picture.format(), QImage::Format_RGB32);
    EXPECT_EQ(c.Picture.size(), QSize(30, 20));
    EXPECT_EQ(c.Picture.pixel(5, 5), qRgb(1, 2, 3));
    EXPECT_TRUE(c.Modified);
    EXPECT_FALSE(c.CanUndo());
    QImage copy;
    c.AssignPictureTo(copy);
    EXPECT_EQ(copy, c.Picture);
    c.CopyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), c.Picture);
}
