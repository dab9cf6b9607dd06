#pragma once

#include <QPointer>
#include <QWidget>

#include <array>

class QToolButton;
class TfrmMainForm;
class TVelmoraCanvas;

// The brush size tool window: five flat buttons that set the canvas's brush
// width to a preset with one click. Each button's "Tag" property holds the
// width it selects.
class TfrmBrushSize : public QWidget {
    Q_OBJECT

public:
    explicit TfrmBrushSize(TfrmMainForm *main);
    ~TfrmBrushSize() override;

    void bBrush1Click(QToolButton *sender);
    void SetDefaultPosition();

    QToolButton *bBrush1 = nullptr;
    QToolButton *bBrush3 = nullptr;
    QToolButton *bBrush7 = nullptr;
    QToolButton *bBrush13 = nullptr;
    QToolButton *bBrush21 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QToolButton *CreateButton(int tag, int left, const QString &hint);

    QPointer<TVelmoraCanvas> Canvas;
};
