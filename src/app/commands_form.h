#pragma once

#include "tools/tool_window.h"

#include <functional>

class QMenu;
class QToolButton;
class TfrmMainForm;

// The commands bar: an always-on-top strip with the most used file and edit
// commands and the language choice. Each command button runs the main
// window's handler without a sender, as the menu's items do with one, and
// then hands the keyboard focus back to the canvas.
class TfrmCommands : public TToolWindow {
    Q_OBJECT

public:
    explicit TfrmCommands(TfrmMainForm *main);

    void bLangClick();

    QToolButton *bNew = nullptr;
    QToolButton *bOpen = nullptr;
    QToolButton *bSave = nullptr;
    QToolButton *bCopy = nullptr;
    QToolButton *bUndo = nullptr;
    QToolButton *bRedo = nullptr;
    QToolButton *bLang = nullptr;
    // Filled with one item per language when the main window is first shown.
    QMenu *PopupMenuLang = nullptr;

protected:
    QPoint DefaultFramePosition(const QRect &workArea, int frameWidth) const override;

private:
    QToolButton *CreateButton(const char *name, int left, const QString &hint);
    QToolButton *CreateCommandButton(const char *name, int left, const QString &hint, const QString &glyph,
                                     int glyphSize, std::function<void()> command);
};
