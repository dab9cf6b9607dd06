#pragma once

#include "i18n/ml_strings.h"

#include <QString>

// Identifiers of the program's message texts.
inline const QString siNewImage = QStringLiteral("siNewImage");
inline const QString siChangeCanvasSize = QStringLiteral("siChangeCanvasSize");
inline const QString siCloseProgramConfirm = QStringLiteral("siCloseProgramConfirm");
inline const QString siToolBarLocSavedMsg = QStringLiteral("siToolBarLocSavedMsg");
inline const QString siToolBarLocRestoredMsg = QStringLiteral("siToolBarLocRestoredMsg");
inline const QString siErrorCaption = QStringLiteral("siErrorCaption");
inline const QString siWarningCaption = QStringLiteral("siWarningCaption");
inline const QString siInfoCaption = QStringLiteral("siInfoCaption");
inline const QString siConfirmationCaption = QStringLiteral("siConfirmationCaption");
inline const QString siFileExistsReplace = QStringLiteral("siFileExistsReplace");
inline const QString siRecoveryRestore = QStringLiteral("siRecoveryRestore");
inline const QString siRecoveryUnreadable = QStringLiteral("siRecoveryUnreadable");
inline const QString siDiscardChanges = QStringLiteral("siDiscardChanges");
inline const QString siRecentFileMissing = QStringLiteral("siRecentFileMissing");
inline const QString siOutOfMemory = QStringLiteral("siOutOfMemory");
inline const QString siMergedOnly = QStringLiteral("siMergedOnly");
inline const QString siLayerHidden = QStringLiteral("siLayerHidden");
inline const QString siOtherBlending = QStringLiteral("siOtherBlending");
inline const QString siPatternGrown = QStringLiteral("siPatternGrown");

// Registers the message identifiers with their English texts, also the
// Pattern dialog's, and sets the captions from them.
void RegisterMessageStrings();

// Reloads the four captions from the current language.
void ReloadMessageCaptions();

class QWidget;

// A modal information box with the caption InfoCaption and an OK button,
// owned by the given window or, when none, by the main window.
void ShowInfoMessage(const QString &text, QWidget *owner = nullptr);
