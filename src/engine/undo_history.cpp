#include "engine/undo_history.h"

#include "codecs/snapshot_codec.h"
#include "engine/picture_copy.h"

#include <exception>
#include <future>
#include <stdexcept>

namespace {

// The layers whose pixels taking the step back needs besides the shape: the
// layers it has pixels of that exist now, and those that exist now but are
// not in its shape (it takes them away).
std::vector<int> PixelsToKeep(const TUndoStep &step, const TLayerStack &picture)
{
    std::vector<int> ids;
    for (int i = 0; i < picture.Count(); ++i) {
        const int id = picture.At(i).Id;
        const auto &shape = step.Shape().Layers;
        const bool inShape =
            std::any_of(shape.begin(), shape.end(), [id](const TLayerState &l) { return l.Id == id; });
        if (step.HasPixelsOf(id) || !inShape)
            ids.push_back(id);
    }
    return ids;
}

int ActiveId(const TLayerStack &picture)
{
    return picture.At(picture.ActiveIndex()).Id;
}

} // namespace

void TUndoHistory::SaveStep(const TLayerStack &picture, bool toUndoList, bool clearRedo)
{
    Settle();
    // Encode first so that a failure leaves both lists as they were.
    AddStep(std::make_unique<TUndoStep>(picture, std::vector<int>{ActiveId(picture)}), toUndoList, clearRedo);
}

void TUndoHistory::SaveLayersStep(const TLayerStack &picture, const std::vector<int> &ids)
{
    Settle();
    AddStep(std::make_unique<TUndoStep>(picture, ids), true, true);
}

void TUndoHistory::AddStep(std::unique_ptr<TUndoStep> step, bool toUndoList, bool clearRedo)
{
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
void TUndoHistory::BeginStep(const TLayerStack &picture, bool clearRedo)
{
    Settle();
    if (!CopyPicture(picture.Pixels(picture.ActiveIndex()), PressCopy))
        return;
    auto step = std::make_unique<TUndoStep>(picture.Shape(), ActiveId(picture));
    if (clearRedo)
        std::swap(RedoSteps, SetAsideRedo);
    UndoSteps.push_back(std::move(step));
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

bool TUndoHistory::RestoreNewestUndo(TLayerStack &picture)
{
    return RestoreNewest(UndoSteps, picture);
}

bool TUndoHistory::RestoreNewestRedo(TLayerStack &picture)
{
    return RestoreNewest(RedoSteps, picture);
}

bool TUndoHistory::Undo(TLayerStack &picture, const std::function<void()> &stepSaved)
{
    return SwapWithNewest(UndoSteps, false, picture, stepSaved);
}

bool TUndoHistory::Redo(TLayerStack &picture, const std::function<void()> &stepSaved)
{
    return SwapWithNewest(RedoSteps, true, picture, stepSaved);
}

bool TUndoHistory::RestoreNewest(StepList &list, TLayerStack &picture)
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
// the thread has ended before stepSaved runs. The pixels the restore
// replaces become the next spare.
bool TUndoHistory::SwapWithNewest(StepList &list, bool toUndoList, TLayerStack &picture,
                                  const std::function<void()> &stepSaved)
{
    Settle();
    if (list.empty())
        return false;
    const TUndoStep *newest = list.back().get();
    std::map<int, QImage> pixels;
    auto decoding = std::async(std::launch::async | std::launch::deferred,
                               [this, newest, &pixels] { pixels = newest->Decode(Spare); });
    AddStep(std::make_unique<TUndoStep>(picture, PixelsToKeep(*newest, picture)), toUndoList, false);
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
    const int replaced = pixels.empty() ? -1 : picture.Find(pixels.begin()->first);
    QImage old = replaced >= 0 ? picture.Pixels(replaced) : QImage();
    picture.Assign(newest->Shape(), std::move(pixels));
    Spare = std::move(old);
    list.pop_back();
    ++Changes;
    return true;
}

void TUndoHistory::TrimToBudget()
{
    while (!UndoSteps.empty() && HistorySize() > HistoryBudget)
        UndoSteps.erase(UndoSteps.begin());
}
