#include "engine/undo_history.h"

#include "codecs/snapshot_codec.h"
#include "engine/picture_copy.h"

#include <exception>
#include <future>
#include <stdexcept>

namespace {


} // namespace

void TUndoHistory::SaveStep(const QImage &picture, bool toUndoList, bool clearRedo)
{
    Settle();
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

// The redo steps are set aside rather than deleted: a compression that
// fails leaves the lists as a failed SaveStep does. A press copy that
// cannot be made, or a worker that cannot start, fails the step the same
// way.
void TUndoHistory::BeginStep(const QImage &picture, bool clearRedo)
{
    Settle();
    if (!CopyPicture(picture, PressCopy))
        return;
    if (clearRedo)
        std::swap(RedoSteps, SetAsideRedo);
    UndoSteps.push_back(std::make_unique<TUndoStep>());
    Pending = UndoSteps.back().get();
    ++Changes;
    const bool posted = Worker.Post([this] {
        try {
            PendingBytes = EncodeSnapshot(PressCopy);
        } catch (...) {
            PendingFailure = std::current_exception();
        }
        if (OnStepCompressed)
            OnStepCompressed();
    });
    if (!posted) {
        PendingFailure = std::make_exception_ptr(std::runtime_error("The history's worker cannot start"));
        Settle();
    }
}

// Every member that changes the lists calls this first, so the pending step is still the
// newest undo step here.
bool TUndoHistory::Settle()
{
    if (!Pending)
        return false;
    Worker.Wait();
    if (PendingFailure) {
        UndoSteps.pop_back();
        if (!SetAsideRedo.empty())
            RedoSteps = std::move(SetAsideRedo);
    } else {
        Pending->Adopt(std::move(PendingBytes));
    }
    Pending = nullptr;
    PendingBytes.clear();
    PendingFailure = nullptr;
    SetAsideRedo.clear();
    ++Changes;
    TrimToBudget();
    return true;
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
    Settle();
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
    Settle();
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
    Settle();
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
