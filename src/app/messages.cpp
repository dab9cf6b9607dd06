#include "app/messages.h"

#include "app/forms.h"
#include "app/main_form.h"
#include "dialogs/pattern_texts.h"
#include "i18n/ml_strings.h"

#include <QMessageBox>

void RegisterMessageStrings()
{
    MLRegisterString(siNewImage, QStringLiteral("New image"));
    MLRegisterString(siChangeCanvasSize, QStringLiteral("Change canvas size"));
    MLRegisterString(siCloseProgramConfirm, QStringLiteral("Close program without saving changes?"));
    MLRegisterString(siToolBarLocSavedMsg, QStringLiteral("Current toolbars location has been stored successfully"));
    MLRegisterString(siToolBarLocRestoredMsg, QStringLiteral("Default toolbars location has been restored"));
    MLRegisterString(siErrorCaption, QStringLiteral("Error"));
    MLRegisterString(siWarningCaption, QStringLiteral("Warning"));
    MLRegisterString(siInfoCaption, QStringLiteral("Information"));
    MLRegisterString(siConfirmationCaption, QStringLiteral("Confirmation"));
    MLRegisterString(siFileExistsReplace, QStringLiteral("%s already exists. Replace it?"));
    MLRegisterString(siRecoveryRestore, QStringLiteral("Velmora was not closed properly. Restore the picture from %s?"));
    MLRegisterString(siRecoveryUnreadable, QStringLiteral("The recovery copy %s cannot be read. It was kept as %s."));
    MLRegisterString(siDiscardChanges, QStringLiteral("Discard the changes to the current picture?"));
    MLRegisterString(siRecentFileMissing,
                     QStringLiteral("%s no longer exists. It was removed from the list of recent files."));
    MLRegisterString(siOutOfMemory,
                     QStringLiteral("Not enough memory to finish this operation. The picture keeps what was done so far."));
    MLRegisterString(siMergedOnly, QStringLiteral("%s keeps only the merged picture; OpenRaster (.ora) keeps the "
                                                  "layers. Save the merged picture?"));
    MLRegisterString(siLayerHidden, QStringLiteral("Layer hidden"));
    MLRegisterString(siOtherBlending, QStringLiteral("%s blends some layers in ways Velmora does not have; they "
                                                     "are shown with normal blending."));
    MLRegisterString(siPatternGrown, QStringLiteral("The pattern's cell grew to %s: a smaller one needs too many "
                                                    "copies on this picture."));
    RegisterPatternStrings();
    ReloadMessageCaptions();
}

void ReloadMessageCaptions()
{
    ErrorCaption = MLString(siErrorCaption);
    WarningCaption = MLString(siWarningCaption);
    InfoCaption = MLString(siInfoCaption);
    ConfirmationCaption = MLString(siConfirmationCaption);
}

void ShowInfoMessage(const QString &text, QWidget *owner)
{
    QMessageBox box(QMessageBox::Information, InfoCaption, text, QMessageBox::Ok,
                    owner ? owner : static_cast<QWidget *>(frmMainForm));
    box.exec();
}
