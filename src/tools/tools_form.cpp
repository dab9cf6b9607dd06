#include "tools/tools_form.h"

#include "canvas/velmora_canvas.h"
#include "tools/spin_edit.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QToolButton>

#include <array>

namespace {

const QSize ButtonSize(23, 22);
const QSize GlyphSize(16, 16);
const QSize SpinEditSize(43, 21);
constexpr int DesignClientHeight = 338;
constexpr int TitlePixelSize = 11;
constexpr int SmallPixelSize = 9;
constexpr int RightScreenMargin = 25;
constexpr int TopScreenMargin = 70;

} // namespace

TfrmTools::TfrmTools(TVelmoraCanvas *canvas, QWidget *parent)
    : TToolWindow(canvas, parent, QStringLiteral("frmTools"), QStringLiteral("Toolbox"), QStringLiteral("Tahoma"),
                  TitlePixelSize)
{
    CreateToolControls();
    CreateReflectionControls();
    CreateCountControls();
    CreateSizeControls();
    CreateColoringControls();
    ConnectHandlers();

    // The right margin equals the left one.
    setFixedSize(eEraser->x() + eEraser->width() + eBrush->x(), DesignClientHeight);
    SetDefaultPosition();
    if (!Canvas()) {
        CreateTranslator();
        return;
    }
    eMasterRef->SetValue(Canvas()->MasterRefCount);
    eSecondRef->SetValue(Canvas()->SecondRefCount);
    SyncReflectionButtons();
    eBrush->SetValue(Canvas()->BrushSize);
    eEraser->SetValue(Canvas()->EraserSize);
    CreateTranslator();
    SyncColoringButtons();
}

void TfrmTools::CreateToolControls()
{
    Label4 = CreateLabel("Label4", 4, 4, QStringLiteral("Tools"), true, TitlePixelSize);
    bMove = CreateButton("bMove", 4, 22, QStringLiteral("Move"), QStringLiteral("tools/move"));
    bBrush = CreateButton("bBrush", 29, 22, QStringLiteral("Brush"), QStringLiteral("tools/brush"));
    bEraser = CreateButton("bEraser", 54, 22, QStringLiteral("Eraser"), QStringLiteral("tools/eraser"));
    bEyeDrop = CreateButton("bEyeDrop", 4, 46, QStringLiteral("Pickup color"), QStringLiteral("tools/eyedrop"));
    bPaintBucket = CreateButton("bPaintBucket", 29, 46, QStringLiteral("Paint bucket"),
                                QStringLiteral("tools/paint_bucket"));
    ToolGroup = new QButtonGroup(this);
    for (QToolButton *b : {bMove, bBrush, bEraser, bEyeDrop, bPaintBucket})
        ToolGroup->addButton(b);
    bBrush->setChecked(true);
}

void TfrmTools::CreateReflectionControls()
{
    Label1 = CreateLabel("Label1", 4, 81, QStringLiteral("Reflections"), true, TitlePixelSize);
    bNoRef = CreateButton("bNoRef", 4, 100, QStringLiteral("No reflections"), QStringLiteral("reflections/none"));
    bPrimaryRef = CreateButton("bPrimaryRef", 29, 100, QStringLiteral("Primary reflections"),
                               QStringLiteral("reflections/primary"));
    bMirrorRef = CreateButton("bMirrorRef", 54, 100, QStringLiteral("Mirror primary reflections"),
                              QStringLiteral("reflections/mirror_primary"));
    bSecondary = CreateButton("bSecondary", 4, 124, QStringLiteral("Secondary reflections"),
                              QStringLiteral("reflections/secondary"));
    bVertRef = CreateButton("bVertRef", 29, 124, QStringLiteral("Vertical reflection"),
                            QStringLiteral("reflections/vertical"));
    bHorizRef = CreateButton("bHorizRef", 54, 124, QStringLiteral("Horizontal reflection"),
                             QStringLiteral("reflections/horizontal"));
    bPattern = CreateButton("bPattern", 4, 148, QStringLiteral("Pattern reflections"),
                            QStringLiteral("reflections/pattern"));
    // Exclusive, but with none down until creation presses the canvas's mode.
    ReflectionGroup = new QButtonGroup(this);
    for (QToolButton *b : ModeButtons())
        ReflectionGroup->addButton(b);
}

void TfrmTools::CreateCountControls()
{
    Label7 = CreateLabel("Label7", 5, 177, QStringLiteral("Master"), false, SmallPixelSize);
    Label8 = CreateLabel("Label8", 54, 177, QStringLiteral("Second"), false, SmallPixelSize);
    eMasterRef = CreateSpinEdit("eMasterRef", 5, 190, 2, 999, QStringLiteral("Master reflections count"), 13);
    eSecondRef = CreateSpinEdit("eSecondRef", 53, 191, 2, 999, QStringLiteral("Second reflections count"), 3);
}

void TfrmTools::CreateSizeControls()
{
    Label2 = CreateLabel("Label2", 4, 225, QStringLiteral("Size"), true, TitlePixelSize);
    Label5 = CreateLabel("Label5", 5, 242, QStringLiteral("Brush"), false, SmallPixelSize);
    Label6 = CreateLabel("Label6", 54, 242, QStringLiteral("Eraser"), false, SmallPixelSize);
    eBrush = CreateSpinEdit("eBrush", 4, 255, 1, 99, QStringLiteral("Brush size"), 3);
    eEraser = CreateSpinEdit("eEraser", 53, 255, 1, 99, QStringLiteral("Eraser size"), 3);
}

void TfrmTools::CreateColoringControls()
{
    Label3 = CreateLabel("Label3", 4, 290, QStringLiteral("Coloring"), true, TitlePixelSize);
    bColoringProtectColor = CreateButton("bColoringProtectColor", 4, 310, QStringLiteral("Protect single color mode"),
                                         QStringLiteral("coloring/protect_color"));
    bColoringPaintOverColor = CreateButton("bColoringPaintOverColor", 29, 310,
                                           QStringLiteral("Paint over single color mode"),
                                           QStringLiteral("coloring/paint_over_color"));
    bAutoMask = CreateButton("bAutoMask", 60, 310, QStringLiteral("Auto mask - recreate mask on brush color change"),
                             QStringLiteral("coloring/auto_mask"));
}

// The handlers are connected after the design values are in place, so that
// only the values taken from the canvas at creation reach the handlers.
void TfrmTools::ConnectHandlers()
{
    const std::array<std::pair<QToolButton *, void (TfrmTools::*)(QObject *)>, 5> tools{{
        {bMove, &TfrmTools::bMoveClick},
        {bBrush, &TfrmTools::bBrushClick},
        {bEraser, &TfrmTools::bEraserClick},
        {bEyeDrop, &TfrmTools::bEyeDropClick},
        {bPaintBucket, &TfrmTools::bPaintBucketClick},
    }};
    // Plain copies: clang before 16 cannot capture structured bindings.
    for (const auto &tool : tools) {
        QToolButton *button = tool.first;
        const auto handler = tool.second;
        connect(button, &QToolButton::clicked, this, [this, button, handler] { (this->*handler)(button); });
    }
    for (QAbstractButton *b : ReflectionGroup->buttons())
        connect(b, &QAbstractButton::clicked, this, [this, b] { bNoRefClick(b); });

    const std::array<std::pair<TSpinEdit *, void (TfrmTools::*)(QObject *)>, 4> edits{{
        {eMasterRef, &TfrmTools::eMasterRefChange},
        {eSecondRef, &TfrmTools::eSecondRefChange},
        {eBrush, &TfrmTools::eBrushChange},
        {eEraser, &TfrmTools::eEraserChange},
    }};
    for (const auto &entry : edits) {
        TSpinEdit *edit = entry.first;
        const auto handler = entry.second;
        connect(edit, &TSpinEdit::Changed, this, [this, edit, handler] { (this->*handler)(edit); });
        connect(edit, &TSpinEdit::KeyDown, this, [this, edit](int key) { eMasterRefKeyDown(edit, key); });
    }

    for (QToolButton *b : {bColoringProtectColor, bColoringPaintOverColor})
        connect(b, &QToolButton::clicked, this, [this, b] { ColoringButtonClicked(b); });
    connect(bAutoMask, &QToolButton::clicked, this, [this] { bAutoMaskClick(bAutoMask); });
}

QToolButton *TfrmTools::CreateButton(const char *name, int left, int top, const QString &hint, const QString &glyph)
{
    QToolButton *button = CreateFlatButton(name, QRect(QPoint(left, top), ButtonSize), hint);
    button->setCheckable(true);
    button->setIconSize(GlyphSize);
    const QString path = QStringLiteral(":/glyphs/%1.png").arg(glyph);
    if (QFile::exists(path))
        button->setIcon(QIcon(path));
    return button;
}

QLabel *TfrmTools::CreateLabel(const char *name, int left, int top, const QString &caption, bool bold, int pixelSize)
{
    auto *label = new QLabel(caption, this);
    label->setObjectName(QLatin1String(name));
    QFont f = font();
    f.setBold(bold);
    f.setPixelSize(pixelSize);
    label->setFont(f);
    label->move(left, top);
    label->adjustSize();
    return label;
}

TSpinEdit *TfrmTools::CreateSpinEdit(const char *name, int left, int top, int minValue, int maxValue,
                                     const QString &hint, int value)
{
    auto *edit = new TSpinEdit(minValue, maxValue, this);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(QRect(QPoint(left, top), SpinEditSize));
    edit->setToolTip(hint);
    edit->SetValue(value);
    return edit;
}

void TfrmTools::SelectTool(TCanvasTool tool)
{
    if (Canvas())
        Canvas()->SetTool(tool);
    FocusCanvas();
}

void TfrmTools::bMoveClick(QObject *)
{
    SelectTool(ctMovePoints);
}

void TfrmTools::bBrushClick(QObject *)
{
    SelectTool(ctBrush);
}

void TfrmTools::bEraserClick(QObject *)
{
    SelectTool(ctEraser);
}

void TfrmTools::bEyeDropClick(QObject *)
{
    SelectTool(ctPickupColor);
}

void TfrmTools::bPaintBucketClick(QObject *)
{
    SelectTool(ctPaintBucket);
}

std::array<QToolButton *, 7> TfrmTools::ModeButtons() const
{
    return {bNoRef, bPrimaryRef, bMirrorRef, bSecondary, bVertRef, bHorizRef, bPattern};
}

void TfrmTools::bNoRefClick(QObject *Sender)
{
    const auto buttons = ModeButtons();
    for (std::size_t mode = 0; mode < buttons.size(); ++mode) {
        if (Sender == buttons[mode] && Canvas())
            Canvas()->SetReflectionMode(TReflectionMode(mode));
    }
    emit ReflectionModeChosen();
    FocusCanvas();
}

void TfrmTools::eMasterRefChange(QObject *)
{
    if (Canvas())
        Canvas()->SetMasterRefCount(eMasterRef->Value());
}

void TfrmTools::eSecondRefChange(QObject *)
{
    if (Canvas())
        Canvas()->SetSecondRefCount(eSecondRef->Value());
}

// The sizes are read at the next stroke; nothing needs repainting.
void TfrmTools::eBrushChange(QObject *)
{
    if (Canvas())
        Canvas()->BrushSize = eBrush->Value();
}

void TfrmTools::eEraserChange(QObject *)
{
    if (Canvas())
        Canvas()->EraserSize = eEraser->Value();
}

void TfrmTools::eMasterRefKeyDown(QObject *, int Key)
{
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter)
        FocusCanvas();
}

// At most one of the two coloring buttons is down: the button has already
// toggled itself, so a press that put it down releases the other one.
void TfrmTools::ColoringButtonClicked(QToolButton *clicked)
{
    QToolButton *other = clicked == bColoringProtectColor ? bColoringPaintOverColor : bColoringProtectColor;
    if (clicked->isChecked())
        other->setChecked(false);
    bColoringProtectColorClick(clicked);
}

void TfrmTools::bColoringProtectColorClick(QObject *)
{
    TColoringMode mode = cmNone;
    if (bColoringProtectColor->isChecked())
        mode = cmProtectColor;
    else if (bColoringPaintOverColor->isChecked())
        mode = cmPaintOverColor;
    if (Canvas())
        Canvas()->SetColoringMode(mode);
    FocusCanvas();
}

// Toggles the canvas's own switch rather than copying the button's state.
void TfrmTools::bAutoMaskClick(QObject *)
{
    if (Canvas())
        Canvas()->SetAutoMask(!Canvas()->AutoMask);
    FocusCanvas();
}

QPoint TfrmTools::DefaultFramePosition(const QRect &workArea, int frameWidth) const
{
    return QPoint(workArea.left() + workArea.width() - frameWidth - RightScreenMargin, workArea.top() + TopScreenMargin);
}

void TfrmTools::SyncReflectionButtons()
{
    if (!Canvas())
        return;
    const auto buttons = ModeButtons();
    const std::size_t mode = Canvas()->ReflectionMode;
    if (mode < buttons.size())
        buttons[mode]->setChecked(true);
}

void TfrmTools::SyncColoringButtons()
{
    if (!Canvas())
        return;
    bColoringProtectColor->setChecked(Canvas()->ColoringMode == cmProtectColor);
    bColoringPaintOverColor->setChecked(Canvas()->ColoringMode == cmPaintOverColor);
    bAutoMask->setChecked(Canvas()->AutoMask);
}

void TfrmTools::SyncBrushSize()
{
    if (Canvas())
        eBrush->SetValue(Canvas()->BrushSize);
}

void TfrmTools::SyncSpinEdits()
{
    if (!Canvas())
        return;
    eMasterRef->SetValue(Canvas()->MasterRefCount);
    eSecondRef->SetValue(Canvas()->SecondRefCount);
    eBrush->SetValue(Canvas()->BrushSize);
    eEraser->SetValue(Canvas()->EraserSize);
}
