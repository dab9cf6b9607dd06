#include "engine/undo_history.h"

#include "codecs/snapshot_codec.h"

#include <cstring>
#include <exception>
#include <future>

namespace {

// Copies the pixels into the buffer, reusing its memory when it has the
// picture's size and format.
void CopyInto(const QImage &picture, QImage &buffer)
{
    if (buffer.size() != picture.size() || buffer.format() != picture.format())
        buffer = QImage(picture.size(), picture.format());
    if (!picture.isNull())
        std::memcpy(buffer.bits(), picture.constBits(), std::size_t(picture.sizeInBytes()));
}

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

void TUndoHistory::BeginStep(const QImage &picture, bool clearRedo)
{
    Settle();
    CopyInto(picture, PressCopy);
    if (clearRedo)
        RedoSteps.clear();
    UndoSteps.push_back(std::make_unique<TUndoStep>());
    Pending = UndoSteps.back().get();
    ++Changes;
    Worker.Post([this] {
        try {
            PendingBytes = EncodeSnapshot(PressCopy);
        } catch (...) {
            PendingFailure = std::current_exception();
        }
        if (OnStepCompressed)
            OnStepCompressed();
    });
}

// Every member that changes the lists calls this first, so the pending step is still the
// newest undo step here.
bool TUndoHistory::Settle()
{
    if (!Pending)
        return false;
    Worker.Wait();
    if (PendingFailure)
        UndoSteps.pop_back();
    else
        Pending->Adopt(std::move(PendingBytes));
    Pending = nullptr;
    PendingBytes.clear();
    PendingFailure = nullptr;
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
