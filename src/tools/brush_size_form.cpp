#include "tools/brush_size_form.h"

#include "canvas/velmora_canvas.h"

#include <QToolButton>

namespace {

constexpr int ButtonTop = 4;
const QSize ButtonSize(23, 22);
const QSize GlyphSize(16, 16);
const char TagProperty[] = "Tag";

} // namespace

TfrmBrushSize::TfrmBrushSize(TVelmoraCanvas *canvas, QWidget *parent)
    : TToolWindow(canvas, parent, QStringLiteral("frmBrushSize"), QStringLiteral("Brush size"),
                  QStringLiteral("MS Sans Serif"), 11)
{
    bBrush1 = CreateButton(1, 4, QStringLiteral("1 pixel"));
    bBrush3 = CreateButton(3, 28, QStringLiteral("3 pixels"));
    bBrush7 = CreateButton(7, 52, QStringLiteral("7 pixels"));
    bBrush13 = CreateButton(13, 76, QStringLiteral("13 pixels"));
    bBrush21 = CreateButton(21, 100, QStringLiteral("21 pixels"));

    // Equal margins on all sides of the button row.
    setFixedSize(bBrush21->x() + bBrush21->width() + bBrush1->x(), 2 * bBrush1->y() + bBrush1->height());
    SetDefaultPosition();
    CreateTranslator();
}

QToolButton *TfrmBrushSize::CreateButton(int tag, int left, const QString &hint)
{
    const QByteArray name = QStringLiteral("bBrush%1").arg(tag).toLatin1();
    QToolButton *button = CreateFlatButton(name.constData(), QRect(QPoint(left, ButtonTop), ButtonSize), hint);
    button->setProperty(TagProperty, tag);
    button->setIconSize(GlyphSize);
    button->setIcon(QIcon(QStringLiteral(":/glyphs/brush_size/brush_%1.png").arg(tag)));
    connect(button, &QToolButton::clicked, this, [this, button] { bBrush1Click(button); });
    return button;
}

// Sets the brush width only, whatever the current tool; the eraser width
// stays as it is.
void TfrmBrushSize::bBrush1Click(QToolButton *sender)
{
    if (!sender || !Canvas())
        return;
    const int width = sender->property(TagProperty).toInt();
    Canvas()->BrushSize = width;
    emit BrushSizeChosen(width);
}

QPoint TfrmBrushSize::DefaultFramePosition(const QRect &workArea, int frameWidth) const
{
    return QPoint(workArea.left() + workArea.width() - frameWidth - 25, workArea.top() + 420);
}
