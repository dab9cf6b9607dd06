#pragma once

#include "engine/undo_step.h"
#include "engine/worker_thread.h"

#include <QImage>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

// The undo and redo lists of steps (undo_step.h), oldest first. The picture
// is a layer stack; a step records its shape and the pixels of the layers a
// change touches. The canvas that owns the history drives it and raises the
// availability notification; nothing here notifies. A step begun with
// BeginStep is compressed on a worker thread; every member that changes the
// lists first waits for it.
class TUndoHistory {
public:
    using StepList = std::vector<std::unique_ptr<TUndoStep>>;

    // Most bytes the undo list may hold; the redo list is not limited.
    static constexpr std::int64_t HistoryBudget = 10485760;

    // Snapshots the picture's shape and its active layer's pixels. To the
    // redo list when toUndoList is false; otherwise to the undo list, after
    // emptying the redo list when clearRedo is set, and then drops the
    // oldest undo steps until the list fits the budget (a single step larger
    // than the budget is dropped too).
    void SaveStep(const TLayerStack &picture, bool toUndoList, bool clearRedo);
    // A step of a change of the stack itself, to the undo list with the redo
    // list emptied: the shape and the pixels of the layers with the given
    // ids (those the change removes or alters).
    void SaveLayersStep(const TLayerStack &picture, const std::vector<int> &ids);

    // SaveStep(picture, true, clearRedo) without waiting for the compression:
    // the active layer's pixels are copied into a buffer kept from the last
    // call, the step is on the undo list at once, and the worker compresses
    // the copy and then calls OnStepCompressed on its own thread. Waits for
    // an earlier pending step first. When the copy cannot be made or the
    // worker cannot start, the lists stay as they were.
    void BeginStep(const TLayerStack &picture, bool clearRedo);

    // Ends the pending step, waiting for its compression: a compressed step
    // takes its bytes and the list is trimmed to the budget; a step whose
    // compression failed is dropped and the redo list is as before the step.
    // Returns false when none was pending.
    bool Settle();

    // Counts the changes of the lists: equal counts, equal lists.
    std::uint64_t Revision() const { return Changes; }

    // Runs on the worker thread when a begun step's compression ended.
    std::function<void()> OnStepCompressed;

    // Sum of the sizes of the undo steps; a pending step counts nothing.
    std::int64_t HistorySize() const;

    void Clear();

    bool CanUndo() const { return !UndoSteps.empty(); }
    bool CanRedo() const { return !RedoSteps.empty(); }

    // Restores the picture from the newest step of the list, then deletes the
    // step. Returns false, leaving everything as it is, when the list is
    // empty. When decoding fails the exception propagates and both the
    // picture and the list are unchanged.
    bool RestoreNewestUndo(TLayerStack &picture);
    bool RestoreNewestRedo(TLayerStack &picture);

    // Undo and Redo as the canvas performs them. The picture is saved to the
    // other list (to the undo list for Redo, without emptying the redo list)
    // with the pixels that taking the step back needs: those of the layers
    // the step has pixels of, and of those the step's shape lacks. Then
    // stepSaved runs, and the newest step of the list restores the picture
    // and is deleted. The step is decoded on a second thread while the
    // picture is encoded. Returns false, doing nothing, when the list is
    // empty. Failures propagate: a failed encode changes nothing; a failed
    // decode leaves the saved step in place, the picture and the list
    // unchanged.
    bool Undo(TLayerStack &picture, const std::function<void()> &stepSaved = {});
    bool Redo(TLayerStack &picture, const std::function<void()> &stepSaved = {});

    // The lists as they stand: a pending step is there with no bytes yet.
    const StepList &UndoList() const { return UndoSteps; }
    const StepList &RedoList() const { return RedoSteps; }

private:
    void AddStep(std::unique_ptr<TUndoStep> step, bool toUndoList, bool clearRedo);
    bool RestoreNewest(StepList &list, TLayerStack &picture);
    bool SwapWithNewest(StepList &list, bool toUndoList, TLayerStack &picture,
                        const std::function<void()> &stepSaved);
    void TrimToBudget();

    StepList UndoSteps;
    StepList RedoSteps;
    // Counts the changes of the lists, so that a swap notices when stepSaved
    // changed them.
    std::uint64_t Changes = 0;
    // The memory of the layer that the last swap replaced, decoded into by
    // the next one: a fresh picture-sized image costs more in page faults
    // than the decode itself. Freed with the lists.
    QImage Spare;

    // The step being compressed, the redo steps it cleared, its copy of the
    // picture (kept for the next press, so that a press allocates nothing)
    // and the outcome. The worker touches only the copy and the outcome, and
    // only while it runs.
    TUndoStep *Pending = nullptr;
    StepList SetAsideRedo;
    QImage PressCopy;
    std::vector<std::uint8_t> PendingBytes;
    std::exception_ptr PendingFailure;
    // Declared last: its destructor waits for the job that uses the members
    // above.
    TWorkerThread Worker;
};
