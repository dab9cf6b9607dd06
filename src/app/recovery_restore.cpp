// The offer at start to restore the picture of an instance that ended
// without closing properly.
#include "app/forms.h"
#include "app/image_formats.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "app/recovery_autosave.h"
#include "canvas/velmora_canvas.h"
#include "codecs/image_file_io.h"
#include "codecs/recovery_png.h"
#include "engine/recovery_folder.h"
#include "i18n/ml_strings.h"
#include "tools/tools_form.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLocale>
#include <QLockFile>
#include <QMessageBox>

namespace {

// Fills the %s placeholders of a message in order.
QString Formatted(QString text, const QStringList &values)
{
    for (const QString &value : values) {
        const qsizetype at = text.indexOf(QLatin1String("%s"));
        if (at < 0)
            break;
        text.replace(at, 2, value);
    }
    return text;
}

// The restore question. Esc and the window's close button dismiss it
// without an answer, where a Yes/No box would take them for No.
class TRestoreQuestion : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Cancel))
            QDialog::keyPressEvent(event);
        else
            QMessageBox::keyPressEvent(event);
    }

    void closeEvent(QCloseEvent *event) override { QDialog::closeEvent(event); }
};

enum TCopyRead { crRead, crDamaged, crUnreadable };

// Only a copy whose data is damaged is beyond help; one that could not be
// read now (access, I/O, memory) may be read at another start.
TCopyRead ReadRecoveryCopy(const QString &path, TRecoveredPicture &picture, TRecoveryInfo &info)
{
    try {
        const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
        picture.Layered = path.endsWith(QLatin1String(".ora"));
        if (picture.Layered)
            picture.Layers = DecodeRecoveryOra(bytes.data(), bytes.size(), info).Layers;
        else
            picture.Layers = {TImageLayer{QString(), true, 100, DecodeRecoveryPng(bytes.data(), bytes.size(), info)}};
        return crRead;
    } catch (const PngDataError &) {
        return crDamaged;
    } catch (...) {
        return crUnreadable;
    }
}

// The stamp of the restored name's file that Save may overwrite: the one the
// copy carries, or for a copy without one, the file as it is unless it
// changed after the copy was written.
TFileStamp KnownFileStamp(const TRecoveryInfo &info, const QString &copyPath)
{
    if (info.File)
        return *info.File;
    if (QFileInfo(info.FileName).lastModified() > QFileInfo(copyPath).lastModified())
        return {};
    return FileStampOf(info.FileName);
}

} // namespace

// Each copy is locked from its question until it is restored or removed, so
// no other instance offers it meanwhile. A damaged copy is kept under another
// name and not offered again; one that cannot be read now stays, and so does
// every copy after a question dismissed without an answer. A declined copy
// is deleted. Copies after the restored one stay for the next start.
bool TfrmMainForm::RestoreRecoveryCopy()
{
    for (const QString &path : AbandonedRecoveryCopies(RecoveryFolder())) {
        std::unique_ptr<QLockFile> lock = ClaimRecoveryCopy(path);
        if (!lock)
            continue;
        TRecoveredPicture picture;
        TRecoveryInfo info;
        const TCopyRead read = ReadRecoveryCopy(path, picture, info);
        if (read == crDamaged) {
            const QString kept = MoveRecoveryCopyAside(path);
            ReportUnreadableRecovery(path, kept.isEmpty() ? path : kept);
        }
        if (read != crRead)
            continue;
        const TRestoreAnswer answer = AskRecoveryRestore(path);
        if (answer == raLater)
            return false;
        if (answer == raNo) {
            QFile::remove(path);
            continue;
        }
        LoadRecoveredPicture(std::move(picture), info, path);
        Autosave->TakeOver(path, std::move(lock));
        return true;
    }
    return false;
}

TfrmMainForm::TRestoreAnswer TfrmMainForm::AskRecoveryRestore(const QString &copyPath)
{
    const QString when = QLocale().toString(QFileInfo(copyPath).lastModified(), QLocale::ShortFormat);
    TRestoreQuestion box(QMessageBox::Question, ConfirmationCaption, Formatted(MLString(siRecoveryRestore), {when}),
                         QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    box.exec();
    if (box.clickedButton() == box.button(QMessageBox::Yes))
        return raYes;
    return box.clickedButton() == box.button(QMessageBox::No) ? raNo : raLater;
}

void TfrmMainForm::ReportUnreadableRecovery(const QString &copyPath, const QString &keptPath)
{
    const QString text =
        Formatted(MLString(siRecoveryUnreadable), {QDir::toNativeSeparators(copyPath), QDir::toNativeSeparators(keptPath)});
    QMessageBox box(QMessageBox::Warning, WarningCaption, text, QMessageBox::Ok, this);
    box.exec();
}

// The picture comes back as unsaved changes to the file it was read from or
// saved to, with no history.
void TfrmMainForm::LoadRecoveredPicture(TRecoveredPicture picture, const TRecoveryInfo &info, const QString &copyPath)
{
    TakePicture(std::move(picture.Layers), picture.Layered, info.FileName,
                ImageFormatNumbered(info.Format) ? info.Format : 1);
    canvas->Modified = true;
    FileStateKey = 0;
    FileStamp = KnownFileStamp(info, copyPath);
    // A flat copy of a file that keeps layers may stand for layers an
    // earlier version did not copy: saved over that file, it would drop
    // them, so Save asks for a name.
    const TImageFormat *format = ImageFormatNumbered(CurrentFormat);
    StaleFileName = !info.FileName.isEmpty() &&
                    (!FileUnchanged(info.FileName, FileStamp) || (format->KeepsLayers && !picture.Layered));
    if (frmTools)
        frmTools->SyncColoringButtons();
    UpdateStatusBar();
}
