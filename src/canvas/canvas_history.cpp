#include "engine/undo_history.h"
#include "canvas/velmora_canvas.h"

// A step for the undo list is compressed on the history's worker; the
// press goes on at once, and the trim to the budget and a second
// notification follow on this thread when the compression ended.
void TVelmoraCanvas::SaveUndoStep(bool toUndoList, bool clearRedo)
{
    if (toUndoList)
        UndoHistory->BeginStep(Picture, clearRedo);
    else
        UndoHistory->SaveStep(Picture, false, clearRedo);
    NotifyHistory();
}

void TVelmoraCanvas::WatchHistoryWorker()
{
    UndoHistory->OnStepCompressed = [this] {
        QMetaObject::invokeMethod(this, [this] { SettleHistory(); }, Qt::QueuedConnection);
    };
}

// The step may have been settled already by a call that does not notify.
void TVelmoraCanvas::SettleHistory()
{
    UndoHistory->Settle();
    if (UndoHistory->Revision() != NotifiedRevision)
        NotifyHistory();
}

const TUndoHistory &TVelmoraCanvas::History() const
{
    UndoHistory->Settle();
    return *UndoHistory;
}

void TVelmoraCanvas::Undo()
{
    if (!UndoHistory->CanUndo())
        return;
    UndoHistory->Undo(Picture, [this] { NotifyHistory(); });
    EndStroke();
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
    EndStroke();
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
    UndoHistory->Settle();
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
    NotifiedRevision = UndoHistory->Revision();
    if (OnHistoryChange)
        OnHistoryChange(this, CanUndo(), CanRedo());
}
