#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <memory>

class QToolButton;
class TMultiLangForm;
class TVelmoraCanvas;

// The base of the always-on-top tool windows: a tool-window frame with a
// title but no close, minimise or maximise box, a view of the one canvas,
// and a default place on the screen. The user cannot close a tool window;
// only the main window hides it.
class TToolWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr Qt::WindowFlags WindowFlags =
        Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

    TToolWindow(TVelmoraCanvas *canvas, QWidget *parent, const QString &name, const QString &caption,
                const QString &fontFamily, int fontPixels);
    ~TToolWindow() override;

    // Moves the window's frame to its default place in the primary screen's
    // work area.
    void SetDefaultPosition();

    TVelmoraCanvas *Canvas() const;

    // Translates the window into the current language.
    void Translate();

protected:
    // Links the window's components to their translators and translates
    // them; run once the window's controls exist.
    void CreateTranslator();

    // Where the frame's top-left corner goes, given the work area and the
    // frame's width.
    virtual QPoint DefaultFramePosition(const QRect &workArea, int frameWidth) const = 0;

    // Gives the keyboard focus back to the canvas, in the main window.
    void FocusCanvas();

    // A flat button with its hint that never takes the keyboard focus, so
    // that the canvas keeps it.
    QToolButton *CreateFlatButton(const char *name, const QRect &geometry, const QString &hint);

    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    QPointer<TVelmoraCanvas> FCanvas;
    std::unique_ptr<TMultiLangForm> Translator;
    // A window gets its frame only after it is shown, so a default place
    // worked out before then ignores the frame's width; it is worked out
    // again once the frame is known, unless the window was moved meanwhile.
    bool PlacedWithoutFrame = false;
    QPoint PlacedAt;
};
