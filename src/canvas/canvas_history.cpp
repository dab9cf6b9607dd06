#include "engine/undo_history.h"
#include "canvas/velmora_canvas.h"

void TVelmoraCanvas::SaveUndoStep(bool toUndoList, bool clearRedo)
{
    UndoHistory->SaveStep(Picture, toUndoList, clearRedo);
    NotifyHistory();
}

void TVelmoraCanvas::Undo()
{
    if (!UndoHistory->CanUndo())
        return;
    UndoHistory->Undo(Picture, [this] { NotifyHistory(); });
    PictureChanged();
    RebuildMask();
    RequestRepaint();
    NotifyHistory();
}

void TVelmoraCanvas::Redo()
{
    if (!UndoHistory->CanRedo())
        return;
    UndoHistory->Redo(Picture, [this] { NotifyHistory(); });
    PictureChanged();
    RebuildMask();
    RequestRepaint();
    NotifyHistory();
}

void TVelmoraCanvas::ClearHistory()
{
    UndoHistory->Clear();
    NotifyHistory();
}

std::int64_t TVelmoraCanvas::HistorySize() const
{
    return UndoHistory->HistorySize();
}

bool TVelmoraCanvas::CanUndo() const
{
    return UndoHistory->CanUndo();
}

bool TVelmoraCanvas::CanRedo() const
{
    return UndoHistory->CanRedo();
}

void TVelmoraCanvas::NotifyHistory()
{
    if (OnHistoryChange)
        OnHistoryChange(this, CanUndo(), CanRedo());
}
