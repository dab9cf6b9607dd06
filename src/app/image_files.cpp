// The main window's file commands: New, Open, Save and Save as, the file
// named on the command line, and the dialogs they use.

#include "app/file_names.h"
#include "app/forms.h"
#include "app/image_formats.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "app/recovery_autosave.h"
#include "app/settings_store.h"
#include "canvas/velmora_canvas.h"
#include "codecs/image_alpha.h"
#include "dialogs/canvas_size_form.h"
#include "i18n/file_dialog_filter.h"
#include "i18n/ml_strings.h"
#include "tools/tools_form.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>

namespace {

// The number of the format whose filter is at that place of the dialog's
// list, or 0.
int FormatAtFilter(qsizetype index)
{
    const std::vector<TImageFormat> &formats = ImageFormats();
    return index >= 0 && index < qsizetype(formats.size()) ? formats[std::size_t(index)].Number : 0;
}

QFileDialog *MakeFileDialog(QWidget *parent, const char *name, const QString &title)
{
    auto *dialog = new QFileDialog(parent, title);
    dialog->setObjectName(QLatin1String(name));
    dialog->setNameFilters(NameFiltersOf(ImageFileFilter()));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setSizeGripEnabled(true);
    return dialog;
}

// The dialogs are reused and selectFile ignores an empty name, so an empty
// name clears the dialog's own name field.
void ShowFileName(QFileDialog &dialog, const QString &name)
{
    if (!name.isEmpty()) {
        dialog.selectFile(name);
        return;
    }
    if (auto *field = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        field->clear();
}

} // namespace

void TfrmMainForm::CreateFileDialogs()
{
    OpenDlg = MakeFileDialog(this, "OpenDlg", QStringLiteral("Open image"));
    OpenDlg->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDlg->setFileMode(QFileDialog::ExistingFile);
    SaveDlg = MakeFileDialog(this, "SaveDlg", QStringLiteral("Save"));
    SaveDlg->setAcceptMode(QFileDialog::AcceptSave);
    SaveDlg->setFileMode(QFileDialog::AnyFile);
    ExecuteFileDialog = [](QFileDialog &dialog) { return dialog.exec() == QDialog::Accepted; };
    ExecutePrintDialog = [](QPrintDialog &dialog) { return dialog.exec() == QDialog::Accepted; };
    AskYesNo = [this](const QString &question, bool noByDefault) {
        QMessageBox box(QMessageBox::Question, ConfirmationCaption, question, QMessageBox::Yes | QMessageBox::No,
                        this);
        if (noByDefault)
            box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    };
}

// Opens the dialog on the current format's filter in the initial folder;
// on Ok gives the format of the filter the user left selected.
bool TfrmMainForm::RunFileDialog(QFileDialog &dialog, int &format)
{
    const QStringList filters = dialog.nameFilters();
    const qsizetype current = ImageFormatPlace(CurrentFormat);
    if (current >= 0 && current < filters.size())
        dialog.selectNameFilter(filters[current]);
    dialog.setDirectory(GetInitialFolder());
    if (!ExecuteFileDialog(dialog) || dialog.selectedFiles().isEmpty())
        return false;
    format = FormatAtFilter(filters.indexOf(dialog.selectedNameFilter()));
    return true;
}

// New and Open replace the picture, its history and its recovery copy, so
// work done since the last New, Open or Save is not dropped without asking.
bool TfrmMainForm::ConfirmDiscard()
{
    if (canvas->Picture.cacheKey() == FileStateKey)
        return true;
    return AskYesNo(MLString(siDiscardChanges), true);
}

void TfrmMainForm::MarkFileState()
{
    FileStateKey = canvas->Picture.cacheKey();
}

void TfrmMainForm::miNewClick(QObject *)
{
    if (!ConfirmDiscard())
        return;
    int width = canvas->PictureWidth(), height = canvas->PictureHeight();
    if (!ExecuteCanvasSizeDialog(MLString(siNewImage), width, height))
        return;
    CurrentFileName.clear();
    canvas->SetCanvasSize(width, height, true, true);
    MarkFileState();
    Autosave->Discard();
    FitCanvas();
    if (frmTools)
        frmTools->SyncColoringButtons();
    UpdateStatusBar();
}

void TfrmMainForm::miOpenClick(QObject *)
{
    OpenImage(QString());
}

// A named, existing file is opened by its extension; otherwise the open
// dialog asks, and its filter, not the chosen file's extension, decides the
// format.
void TfrmMainForm::OpenImage(const QString &name)
{
    QString fileName = name;
    int format = 0;
    if (!name.isEmpty() && QFileInfo(name).isFile()) {
        const TImageFormat *named = ImageFormatOfFile(name);
        if (!named || !ConfirmDiscard())
            return;
        format = named->Number;
    } else {
        if (!ConfirmDiscard())
            return;
        ShowFileName(*OpenDlg, QString());
        if (RunFileDialog(*OpenDlg, format) && ImageFormatNumbered(format))
            fileName = OpenDlg->selectedFiles().first();
        else
            format = 0;
    }
    if (format) {
        LoadImageFile(fileName, format);
        if (frmTools)
            frmTools->SyncColoringButtons();
    }
    UpdateStatusBar();
}

// The codec reads the whole file before anything changes, so a file that
// cannot be read leaves the picture, its name and its history as they were.
void TfrmMainForm::LoadImageFile(const QString &name, int format)
{
    TakePicture(ImageFormatNumbered(format)->Load(name), name, format);
    canvas->Modified = false;
    MarkFileState();
    FileStamp = FileStampOf(name);
    StaleFileName = false;
    Autosave->Discard();
    RememberRecentFile(name);
}

// A picture read from a file or restored becomes the current one, with the
// name and format it came with; the picture is opaque, so transparency is
// taken over white.
void TfrmMainForm::TakePicture(const QImage &image, const QString &name, int format)
{
    const QImage picture = OverWhite(image);
    canvas->SetCanvasSize(picture.width(), picture.height(), true, true);
    FitCanvas();
    canvas->LoadPicture(picture);
    CurrentFormat = format;
    CurrentFileName = name;
}

void TfrmMainForm::miSaveClick(QObject *Sender)
{
    miSaveAsClick(CurrentFileName.isEmpty() ? Sender : nullptr);
}

void TfrmMainForm::miSaveAsClick(QObject *Sender)
{
    if (!Sender && !CurrentFileName.isEmpty() && ImageFormatNumbered(CurrentFormat) && !StaleFileName) {
        if (WriteImageFile(CurrentFileName, CurrentFormat))
            canvas->ClearHistory();
        UpdateStatusBar();
        return;
    }
    ShowFileName(*SaveDlg, CurrentFileName.isEmpty() ? QString() : QFileInfo(CurrentFileName).fileName());
    int format = 0;
    if (RunFileDialog(*SaveDlg, format)) {
        if (!ImageFormatNumbered(format))
            return;
        if (WriteImageFile(SaveDlg->selectedFiles().first(), format))
            canvas->ClearHistory();
    }
    UpdateStatusBar();
}

// The name takes the format's extension. The dialog asked about the name as
// typed; a different name that exists already is asked about here. A failed
// write leaves the old file and every state as they were.
bool TfrmMainForm::WriteImageFile(const QString &name, int format)
{
    const TImageFormat &written = *ImageFormatNumbered(format);
    const QString fileName = ForceFileExt(name, written.ExtensionList());
    if (fileName != name && QFileInfo::exists(fileName) &&
        !AskYesNo(MLString(siFileExistsReplace).replace(QLatin1String("%s"), QDir::toNativeSeparators(fileName)),
                  false))
        return false;
    written.Save(PictureAsSaved(), fileName);
    CurrentFormat = format;
    CurrentFileName = fileName;
    canvas->Modified = false;
    MarkFileState();
    FileStamp = FileStampOf(fileName);
    StaleFileName = false;
    Autosave->Discard();
    RememberRecentFile(fileName);
    return true;
}

QImage TfrmMainForm::PictureAsSaved() const
{
    QImage picture;
    canvas->AssignPictureTo(picture);
    return picture;
}

QString TfrmMainForm::GetInitialFolder() const
{
    if (!CurrentFileName.isEmpty())
        return FolderOf(CurrentFileName);
    const QString stored = ReadStoreString(QStringLiteral("Folder"));
    return stored.isEmpty() ? ProgramFolder() : stored;
}

// The first argument that names an existing file, taken relative to the
// program's folder, is opened; later ones are not tried, even when that file
// turns out not to be an image.
void TfrmMainForm::OpenFromCommandLine(const QStringList &arguments)
{
    const QDir programFolder(ProgramFolder());
    for (const QString &argument : arguments) {
        const QString path = QDir::cleanPath(programFolder.absoluteFilePath(argument));
        if (QFileInfo(path).isFile()) {
            OpenImage(QDir::toNativeSeparators(path));
            return;
        }
    }
}
