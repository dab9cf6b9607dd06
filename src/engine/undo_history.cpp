#include "engine/undo_history.h"

#include <exception>
#include <future>

void TUndoHistory::SaveStep(const QImage &picture, bool toUndoList, bool clearRedo)
{
    // Encode first so that a failure leaves both lists as they were.
    auto step = std::make_unique<TUndoStep>(picture);
    ++Changes;
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
    ++Changes;
    UndoSteps.clear();
    RedoSteps.clear();
    Spare = QImage();
}

bool TUndoHistory::RestoreNewestUndo(QImage &picture)
{
    return RestoreNewest(UndoSteps, picture);
}

bool TUndoHistory::RestoreNewestRedo(QImage &picture)
{
    return RestoreNewest(RedoSteps, picture);
}

bool TUndoHistory::Undo(QImage &picture, const std::function<void()> &stepSaved)
{
    return SwapWithNewest(UndoSteps, false, picture, stepSaved);
}

bool TUndoHistory::Redo(QImage &picture, const std::function<void()> &stepSaved)
{
    return SwapWithNewest(RedoSteps, true, picture, stepSaved);
}

bool TUndoHistory::RestoreNewest(StepList &list, QImage &picture)
{
    if (list.empty())
        return false;
    list.back()->RestoreTo(picture);
    list.pop_back();
    ++Changes;
    return true;
}

// The decode only reads the newest step of the list, which saving the
// picture to the other list leaves alone, and writes only the spare image;
// the thread has ended before stepSaved runs.
bool TUndoHistory::SwapWithNewest(StepList &list, bool toUndoList, QImage &picture,
                                  const std::function<void()> &stepSaved)
{
    if (list.empty())
        return false;
    const TUndoStep *newest = list.back().get();
    auto decoding =
        std::async(std::launch::async | std::launch::deferred, [this, newest] { newest->DecodeInto(Spare); });
    SaveStep(picture, toUndoList, false);
    const std::uint64_t saved = Changes;
    std::exception_ptr failure;
    try {
        decoding.get();
    } catch (...) {
        failure = std::current_exception();
    }
    if (stepSaved)
        stepSaved();
    if (Changes != saved)
        return RestoreNewest(list, picture);
    if (failure)
        std::rethrow_exception(failure);
    std::swap(picture, Spare);
    list.pop_back();
    ++Changes;
    return true;
}

void TUndoHistory::TrimToBudget()
{
    while (!UndoSteps.empty() && HistorySize() > HistoryBudget)
        UndoSteps.erase(UndoSteps.begin());
}
