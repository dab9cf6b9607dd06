// The main window's file commands: New, Open, Save and Save as, the file
// named on the command line or dropped on the window, and the dialogs they
// use.

#include "app/file_names.h"
#include "app/forms.h"
#include "app/image_formats.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "app/picture_state.h"
#include "app/recovery_autosave.h"
#include "app/settings_store.h"
#include "canvas/velmora_canvas.h"
#include "dialogs/canvas_size_form.h"
#include "i18n/file_dialog_filter.h"
#include "i18n/ml_strings.h"
#include "tools/tools_form.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>
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

// The first local file among the dragged ones, when its name is one of a
// format the program reads.
QString DroppedImageFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl &url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty())
            return ImageFormatOfFile(path) ? path : QString();
    }
    return QString();
}

QString WithFileName(QString text, const QString &fileName)
{
    return text.replace(QLatin1String("%s"), QDir::toNativeSeparators(fileName));
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
    if (PictureStateKey(*canvas) == FileStateKey)
        return true;
    return AskYesNo(MLString(siDiscardChanges), true);
}

void TfrmMainForm::MarkFileState()
{
    FileStateKey = PictureStateKey(*canvas);
}

void TfrmMainForm::miNewClick(QObject *)
{
    if (!ConfirmDiscard())
        return;
    int width = canvas->PictureWidth(), height = canvas->PictureHeight();
    if (!ExecuteCanvasSizeDialog(MLString(siNewImage), width, height))
        return;
    CurrentFileName.clear();
    MergedOnlyNames.clear();
    canvas->SetCanvasSize(width, height, true, true);
    MarkFileState();
    Autosave->Discard();
    FitCanvas();
    if (frmTools)
        frmTools->SyncColoringButtons();
    KeepPatternWithinLimit();
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
    const TImageFormat &read = *ImageFormatNumbered(format);
    TPictureFile file = read.Load(name);
    TakePicture(std::move(file.Layers), read.KeepsLayers, name, format);
    canvas->Modified = false;
    MarkFileState();
    FileStamp = FileStampOf(name);
    StaleFileName = false;
    Autosave->Discard();
    RememberRecentFile(name);
    if (file.OtherBlending)
        ShowInfoMessage(WithFileName(MLString(siOtherBlending), name), this);
}

// A picture read from a file or restored becomes the current one, with the
// name and format it came with.
void TfrmMainForm::TakePicture(std::vector<TImageLayer> layers, bool layered, const QString &name, int format)
{
    const QSize size = layers.front().Pixels.size();
    canvas->SetCanvasSize(size.width(), size.height(), true, true);
    FitCanvas();
    if (layered)
        canvas->LoadLayers(std::move(layers));
    else
        canvas->LoadPicture(layers.front().Pixels);
    CurrentFormat = format;
    CurrentFileName = name;
    MergedOnlyNames.clear();
    KeepPatternWithinLimit();
}

void TfrmMainForm::miSaveClick(QObject *Sender)
{
    miSaveAsClick(CurrentFileName.isEmpty() ? Sender : nullptr);
}

void TfrmMainForm::miSaveAsClick(QObject *Sender)
{
    if (!Sender && !CurrentFileName.isEmpty() && ImageFormatNumbered(CurrentFormat) && !StaleFileName) {
        WriteImageFile(CurrentFileName, CurrentFormat);
        UpdateStatusBar();
        return;
    }
    ShowFileName(*SaveDlg, CurrentFileName.isEmpty() ? QString() : QFileInfo(CurrentFileName).fileName());
    int format = 0;
    if (RunFileDialog(*SaveDlg, format)) {
        if (!ImageFormatNumbered(format))
            return;
        WriteImageFile(SaveDlg->selectedFiles().first(), format);
    }
    UpdateStatusBar();
}

// The name takes the format's extension. The dialog asked about the name as
// typed; a different name that exists already is asked about here. A failed
// write leaves the old file and every state as they were. A file that keeps
// only the merged picture of several layers leaves the layers unsaved: the
// picture stays modified, with its history and its recovery copy.
void TfrmMainForm::WriteImageFile(const QString &name, int format)
{
    const TImageFormat &written = *ImageFormatNumbered(format);
    const QString fileName = ForceFileExt(name, written.ExtensionList());
    if (fileName != name && QFileInfo::exists(fileName) &&
        !AskYesNo(WithFileName(MLString(siFileExistsReplace), fileName), false))
        return;
    const bool mergedOnly = !written.KeepsLayers && canvas->Layers().Count() > 1;
    if (mergedOnly && !ConfirmMergedOnly(fileName))
        return;
    TPictureToSave picture{written.KeepsLayers ? canvas->LayersForSaving() : std::vector<TImageLayer>(),
                           canvas->ComposedPicture()};
    written.Save(picture, fileName);
    CurrentFormat = format;
    CurrentFileName = fileName;
    FileStamp = FileStampOf(fileName);
    StaleFileName = false;
    RememberRecentFile(fileName);
    if (mergedOnly)
        return;
    canvas->Modified = false;
    MarkFileState();
    Autosave->Discard();
    canvas->ClearHistory();
}

// Asked once per file name: after a Yes, saving there again goes ahead.
bool TfrmMainForm::ConfirmMergedOnly(const QString &fileName)
{
    if (MergedOnlyNames.contains(fileName))
        return true;
    if (!AskYesNo(WithFileName(MLString(siMergedOnly), fileName), false))
        return false;
    MergedOnlyNames.insert(fileName);
    return true;
}

QImage TfrmMainForm::PictureAsSaved() const
{
    return canvas->ComposedPicture();
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

void TfrmMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedImageFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfrmMainForm::dropEvent(QDropEvent *event)
{
    const QString path = DroppedImageFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    OpenImage(QDir::toNativeSeparators(path));
}
