// The offer at start to restore the picture of an instance that ended
// without closing properly.
#include "app/forms.h"
#include "app/image_formats.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "canvas/velmora_canvas.h"
#include "codecs/image_file_io.h"
#include "codecs/recovery_png.h"
#include "engine/recovery_folder.h"
#include "i18n/ml_strings.h"
#include "tools/tools_form.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
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

// Reads the whole copy; false for anything that keeps it from being shown.
bool ReadRecoveryCopy(const QString &path, QImage &image, TRecoveryInfo &info)
{
    try {
        const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
        image = DecodeRecoveryPng(bytes.data(), bytes.size(), info);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

// A copy that cannot be read is kept under another name and not offered
// again; one that is declined is deleted. Copies after the restored one stay
// for the next start.
bool TfrmMainForm::RestoreRecoveryCopy()
{
    for (const QString &path : AbandonedRecoveryCopies(RecoveryFolder())) {
        QImage image;
        TRecoveryInfo info;
        if (!ReadRecoveryCopy(path, image, info)) {
            const QString kept = MoveRecoveryCopyAside(path);
            ReportUnreadableRecovery(path, kept.isEmpty() ? path : kept);
            continue;
        }
        if (!AskRecoveryRestore(path)) {
            QFile::remove(path);
            continue;
        }
        LoadRecoveredPicture(image, info.FileName, info.Format);
        QFile::remove(path);
        return true;
    }
    return false;
}

bool TfrmMainForm::AskRecoveryRestore(const QString &copyPath)
{
    const QString when = QLocale().toString(QFileInfo(copyPath).lastModified(), QLocale::ShortFormat);
    QMessageBox box(QMessageBox::Question, ConfirmationCaption, Formatted(MLString(siRecoveryRestore), {when}),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
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
void TfrmMainForm::LoadRecoveredPicture(const QImage &image, const QString &fileName, int format)
{
    TakePicture(image, fileName, ImageFormatNumbered(format) ? format : 1);
    canvas->Modified = true;
    FileStateKey = 0;
    if (frmTools)
        frmTools->SyncColoringButtons();
    UpdateStatusBar();
}
