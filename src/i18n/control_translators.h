#pragma once

class TMultiLangApp;

// Registers the translators of the control classes with the engine, each
// class matched exactly, in this order:
//
//   QAction (menu items)   .Caption (text), .Hint (status tip); separators skipped
//   QPushButton            .Caption
//   QToolButton            .Hint (tooltip): our flat speed buttons
//   QLabel                 .Caption; labels whose "Tag" property is negative skipped
//   QCheckBox, QRadioButton .Caption
//   QGroupBox              .Caption (title)
//   QComboBox              .Items.Text: every item followed by CR LF
//   QTreeWidget (list view) .Columns[0], .Columns[1], ...: the header labels
//   QFileDialog (open and save dialogs) .Filter ("|"-separated), .Title
//   QWidget                .Hint (tooltip): the fallback for every other widget
//
// Tab sheets, toolbar buttons and radio groups have no class of their own in
// Qt and are not registered.
void RegisterControlTranslators(TMultiLangApp &engine);
