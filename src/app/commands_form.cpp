#include "app/commands_form.h"

#include "app/main_form.h"

#include <QMenu>
#include <QToolButton>

namespace {

constexpr int ButtonTop = 4;
const QSize ButtonSize(23, 22);

} // namespace

TfrmCommands::TfrmCommands(TfrmMainForm *main)
    : TToolWindow(main->Canvas(), main, QStringLiteral("frmCommands"), QStringLiteral("Commands"),
                  QStringLiteral("MS Sans Serif"), 11)
{
    bNew = CreateCommandButton("bNew", 4, QStringLiteral("New image"), QStringLiteral("new"), 20,
                               [main] { main->miNewClick(); });
    bOpen = CreateCommandButton("bOpen", 32, QStringLiteral("Open image"), QStringLiteral("open"), 20,
                                [main] { main->miOpenClick(); });
    bSave = CreateCommandButton("bSave", 56, QStringLiteral("Save image"), QStringLiteral("save"), 20,
                                [main] { main->miSaveClick(); });
    bCopy = CreateCommandButton("bCopy", 84, QStringLiteral("Copy image to clipboard"), QStringLiteral("copy"), 20,
                                [main] { main->miCopyClick(); });
    bUndo = CreateCommandButton("bUndo", 112, QStringLiteral("Undo"), QStringLiteral("undo"), 16,
                                [main] { main->miUndoClick(); });
    bRedo = CreateCommandButton("bRedo", 136, QStringLiteral("Redo"), QStringLiteral("redo"), 16,
                                [main] { main->miRedoClick(); });
    bUndo->setEnabled(false);
    bRedo->setEnabled(false);

    bLang = CreateButton("bLang", 164, QStringLiteral("Language"));
    bLang->setText(QStringLiteral("EN"));
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(9);
    f.setBold(true);
    bLang->setFont(f);
    PopupMenuLang = new QMenu(this);
    PopupMenuLang->setObjectName(QStringLiteral("PopupMenuLang"));
    connect(bLang, &QToolButton::clicked, this, &TfrmCommands::bLangClick);

    setFixedSize(bLang->x() + bLang->width() + bNew->x(), 2 * bNew->y() + bNew->height());
    SetDefaultPosition();
    CreateTranslator();
}

QToolButton *TfrmCommands::CreateButton(const char *name, int left, const QString &hint)
{
    return CreateFlatButton(name, QRect(QPoint(left, ButtonTop), ButtonSize), hint);
}

QToolButton *TfrmCommands::CreateCommandButton(const char *name, int left, const QString &hint, const QString &glyph,
                                               int glyphSize, std::function<void()> command)
{
    QToolButton *button = CreateButton(name, left, hint);
    button->setIconSize(QSize(glyphSize, glyphSize));
    button->setIcon(QIcon(QStringLiteral(":/glyphs/commands/%1.png").arg(glyph)));
    connect(button, &QToolButton::clicked, this, [this, command = std::move(command)] {
        command();
        FocusCanvas();
    });
    return button;
}

// The menu opens directly below the button's left edge.
void TfrmCommands::bLangClick()
{
    PopupMenuLang->popup(bLang->mapToGlobal(QPoint(0, bLang->height() + 1)));
}

QPoint TfrmCommands::DefaultFramePosition(const QRect &workArea, int) const
{
    return QPoint(workArea.left() + 10, workArea.top() + 70);
}
