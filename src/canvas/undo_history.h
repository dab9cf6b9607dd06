#pragma once

#include "canvas/undo_step.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <vector>

// The undo and redo lists of whole-picture snapshots, oldest first. The
// canvas that owns the history drives it and raises the availability
// notification; nothing here notifies.
class TUndoHistory {
public:
    using StepList = std::vector<std::unique_ptr<TUndoStep>>;

    // Most PNG bytes the undo list may hold; the redo list is not limited.
    static constexpr std::int64_t HistoryBudget = 10485760;

    // Snapshots the picture. To the redo list when toUndoList is false;
    // otherwise to the undo list, after emptying the redo list when clearRedo
    // is set, and then drops the oldest undo steps until the list fits the
    // budget (a single step larger than the budget is dropped too).
    void SaveStep(const QImage &picture, bool toUndoList, bool clearRedo);

    // Sum of the sizes of the undo steps.
    std::int64_t HistorySize() const;

    void Clear();

    bool CanUndo() const { return !UndoSteps.empty(); }
    bool CanRedo() const { return !RedoSteps.empty(); }

    // Restores the picture from the newest step of the list, then deletes the
    // step. Returns false, leaving everything as it is, when the list is
    // empty. When decoding fails the exception propagates and both the
    // picture and the list are unchanged.
    bool RestoreNewestUndo(QImage &picture);
    bool RestoreNewestRedo(QImage &picture);

    const StepList &UndoList() const { return UndoSteps; }
    const StepList &RedoList() const { return RedoSteps; }

private:
    static bool RestoreNewest(StepList &list, QImage &picture);
    void TrimToBudget();

    StepList UndoSteps;
    StepList RedoSteps;
};
