// The main window's side of the settings store: what is read when the
// window is first shown, written when it closes, and the two commands that
// store and reset the tool window places.

#include "app/commands_form.h"
#include "app/file_names.h"
#include "app/forms.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "app/settings_store.h"
#include "app/toolbars_location.h"
#include "canvas/velmora_canvas.h"
#include "dialogs/pattern_form.h"
#include "i18n/ml_strings.h"
#include "tools/brush_size_form.h"
#include "tools/layers_form.h"
#include "tools/palette_form.h"
#include "tools/tools_form.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The stored counts and sizes are limited to what the toolbox offers and a
// little beyond: a count of two billion would make every mouse move draw
// that many copies, and the program would hang at every start.
constexpr int MinCount = 2, MaxCount = 999;
constexpr int MinSize = 0, MaxSize = 999;
// Cells are even; one far beyond any picture would only overflow the
// lattice arithmetic.
constexpr int MaxCell = 1 << 15;

// The names of the tool windows in the stored places, in their order.
constexpr std::array<const char *, 5> ToolWindowNames{"tools", "palette", "commands", "brush", "layers"};

QString StoredLanguage(const QString &name)
{
    // Older settings stored the language by its English name.
    if (name.compare(QLatin1String("russian"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Русский");
    return name;
}

TPattern StoredPattern(const TSettingsStore &store)
{
    const TPattern defaults;
    const int group = store.Int(QStringLiteral("PatternGroup"), defaults.Group);
    auto side = [&](const char *name, int value) {
        return std::clamp(store.Int(QLatin1String(name), value), MinPatternCell, MaxCell) & ~1;
    };
    const int angle = store.Int(QStringLiteral("PatternAngle"), defaults.Angle);
    return TPattern{group >= 0 && group < pgCount ? TPatternGroup(group) : defaults.Group,
                    side("PatternWidth", defaults.Width), side("PatternHeight", defaults.Height),
                    std::clamp(angle, MinPatternAngle, MaxPatternAngle)};
}

} // namespace

void TfrmMainForm::LoadSettings()
{
    const TSettingsStore store;
    if (!store.Exists())
        return;
    // A language stored as anything but a string ends the reading here.
    const std::optional<QString> language = store.String(QStringLiteral("Language"));
    if (!language && store.Has(QStringLiteral("Language")))
        return;
    MLSelectLanguage(StoredLanguage(language.value_or(QString())), QStringLiteral("English"));

    canvas->SetShowCenterPoints(store.Bool(QStringLiteral("ShowCenterPoints"), false));
    canvas->SetShowDrawingPoints(store.Bool(QStringLiteral("ShowDrawingPoints"), true));
    canvas->SetShadow(store.Bool(QStringLiteral("Shadow"), true));
    canvas->SetMasterRefCount(
        std::clamp(store.Int(QStringLiteral("MasterRefCount"), canvas->MasterRefCount), MinCount, MaxCount));
    canvas->SetSecondRefCount(
        std::clamp(store.Int(QStringLiteral("SecondRefCount"), canvas->SecondRefCount), MinCount, MaxCount));
    canvas->BrushSize = std::clamp(store.Int(QStringLiteral("BrushSize"), canvas->BrushSize), MinSize, MaxSize);
    canvas->EraserSize = std::clamp(store.Int(QStringLiteral("EraserSize"), canvas->EraserSize), MinSize, MaxSize);
    canvas->SetSmoothStrokes(store.Bool(QStringLiteral("SmoothStrokes"), false));
    canvas->SetRainbowCopies(store.Bool(QStringLiteral("RainbowCopies"), false));
    canvas->SetFillTolerance(store.Int(QStringLiteral("FillTolerance"), 0));
    canvas->FillSampleAll = store.Bool(QStringLiteral("FillSampleAll"), false);
    canvas->SetBrushOpacity(store.Int(QStringLiteral("BrushOpacity"), 100));
    canvas->SetBrushHardness(store.Int(QStringLiteral("BrushHardness"), 100));
    canvas->SetStabilizer(store.Int(QStringLiteral("Stabilizer"), 0));
    canvas->SetPattern(StoredPattern(store));
    KeepPatternWithinLimit();
    UpdatePatternItems();
    // Stored as hidden, the Layers window still shows itself with the
    // picture's second layer.
    if (frmLayers && store.Bool(QStringLiteral("LayersWindowVisible"), false)) {
        frmLayers->Wanted = true;
        frmLayers->show();
    }
    RecentFiles.Load(store);
    UpdateRecentFilesMenu();
    if (frmTools)
        frmTools->SyncSpinEdits();
}

void TfrmMainForm::SaveSettings()
{
    TSettingsStore store;
    if (!CurrentFileName.isEmpty())
        store.WriteString(QStringLiteral("Folder"), FolderOf(CurrentFileName));
    store.WriteString(QStringLiteral("Language"), MLLanguageName());
    store.WriteBool(QStringLiteral("ShowCenterPoints"), canvas->ShowCenterPoints);
    store.WriteBool(QStringLiteral("ShowDrawingPoints"), canvas->ShowDrawingPoints);
    store.WriteBool(QStringLiteral("Shadow"), canvas->Shadow);
    store.WriteInt(QStringLiteral("MasterRefCount"), canvas->MasterRefCount);
    store.WriteInt(QStringLiteral("SecondRefCount"), canvas->SecondRefCount);
    store.WriteInt(QStringLiteral("BrushSize"), canvas->BrushSize);
    store.WriteInt(QStringLiteral("EraserSize"), canvas->EraserSize);
    store.WriteBool(QStringLiteral("SmoothStrokes"), canvas->SmoothStrokes);
    store.WriteBool(QStringLiteral("RainbowCopies"), canvas->RainbowCopies);
    store.WriteInt(QStringLiteral("FillTolerance"), canvas->FillTolerance);
    store.WriteBool(QStringLiteral("FillSampleAll"), canvas->FillSampleAll);
    store.WriteInt(QStringLiteral("BrushOpacity"), canvas->BrushOpacity);
    store.WriteInt(QStringLiteral("BrushHardness"), canvas->BrushHardness);
    store.WriteInt(QStringLiteral("Stabilizer"), canvas->Stabilizer);
    store.WriteInt(QStringLiteral("PatternGroup"), canvas->Pattern().Group);
    store.WriteInt(QStringLiteral("PatternWidth"), canvas->Pattern().Width);
    store.WriteInt(QStringLiteral("PatternHeight"), canvas->Pattern().Height);
    store.WriteInt(QStringLiteral("PatternAngle"), canvas->Pattern().Angle);
    store.WriteBool(QStringLiteral("LayersWindowVisible"), frmLayers && frmLayers->Wanted.value_or(false));
    RecentFiles.Save(store);
}

void TfrmMainForm::RestoreToolbarsLocations()
{
    const QString stored = ReadStoreString(QStringLiteral("ToolBarsLoc"));
    const auto windows = ToolWindows();
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const std::optional<QPoint> place = ToolBarLocation(stored, QLatin1String(ToolWindowNames[i]));
        if (windows[i] && place)
            windows[i]->move(*place);
    }
}

void TfrmMainForm::miSaveToolbarsLocationsClick(QObject *)
{
    std::vector<std::pair<QString, QPoint>> entries;
    const auto windows = ToolWindows();
    for (std::size_t i = 0; i < windows.size(); ++i)
        entries.emplace_back(QLatin1String(ToolWindowNames[i]), windows[i] ? windows[i]->pos() : QPoint());
    WriteStoreString(QStringLiteral("ToolBarsLoc"), FormatToolBarsLoc(entries));
    ShowInfoMessage(MLString(siToolBarLocSavedMsg), this);
}

void TfrmMainForm::miRestoreDefaultToolbarsLocationsClick(QObject *)
{
    WriteStoreString(QStringLiteral("ToolBarsLoc"), QString());
    for (TToolWindow *w : ToolWindows()) {
        if (w)
            w->SetDefaultPosition();
    }
    ShowInfoMessage(MLString(siToolBarLocRestoredMsg), this);
}
