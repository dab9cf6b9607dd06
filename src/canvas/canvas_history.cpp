#include "engine/undo_history.h"
#include "canvas/velmora_canvas.h"

// A step for the undo list is compressed on the history's worker; the
// press goes on at once, and the trim to the budget and a second
// notification follow on this thread when the compression ended.
void TVelmoraCanvas::SaveUndoStep(bool toUndoList, bool clearRedo)
{
    if (toUndoList)
        UndoHistory->BeginStep(Stack, clearRedo);
    else
        UndoHistory->SaveStep(Stack, false, clearRedo);
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
    const TStackShape shape = Stack.Shape();
    const std::vector<qint64> keys = InactiveLayerKeys();
    UndoHistory->Undo(Stack, [this] { NotifyHistory(); });
    AfterHistoryRestore(shape, keys);
}

void TVelmoraCanvas::Redo()
{
    if (!UndoHistory->CanRedo())
        return;
    const TStackShape shape = Stack.Shape();
    const std::vector<qint64> keys = InactiveLayerKeys();
    UndoHistory->Redo(Stack, [this] { NotifyHistory(); });
    AfterHistoryRestore(shape, keys);
}

// When the stack's shape and the pixels of every layer but the active one
// are as they were (a stroke taken back), the layers under and over the
// active one need not be composed anew.
void TVelmoraCanvas::AfterHistoryRestore(const TStackShape &shape, const std::vector<qint64> &keys)
{
    if (Stack.Shape() != shape || InactiveLayerKeys() != keys)
        LayersStale = true;
    EndStroke();
    PictureChanged();
    RebuildMask();
    RequestRepaint();
    NotifyHistory();
    NotifyLayers();
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
