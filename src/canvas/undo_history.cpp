#include "canvas/undo_history.h"

void TUndoHistory::SaveStep(const QImage &picture, bool toUndoList, bool clearRedo)
{
    // Encode first so that a failure leaves both lists as they were.
    auto step = std::make_unique<TUndoStep>(picture);
    if (!toUndoList) {
        RedoSteps.push_back(std::move(step));
        return;
    }
    if (clearRedo)
        RedoSteps.clear();
    UndoSteps.push_back(std::move(step));
    TrimToBudget();
}

std::int64_t TUndoHistory::HistorySize() const
{
    std::int64_t total = 0;
    for (const auto &step : UndoSteps)
        total += step->Size();
    return total;
}

void TUndoHistory::Clear()
{
    UndoSteps.clear();
    RedoSteps.clear();
}

bool TUndoHistory::RestoreNewestUndo(QImage &picture)
{
    return RestoreNewest(UndoSteps, picture);
}

bool TUndoHistory::RestoreNewestRedo(QImage &picture)
{
    return RestoreNewest(RedoSteps, picture);
}

bool TUndoHistory::RestoreNewest(StepList &list, QImage &picture)
{
    if (list.empty())
        return false;
    list.back()->RestoreTo(picture);
    list.pop_back();
    return true;
}

void TUndoHistory::TrimToBudget()
{
    while (!UndoSteps.empty() && HistorySize() > HistoryBudget)
        UndoSteps.erase(UndoSteps.begin());
}
