#include "app_fixture.h"
#include "app/file_names.h"
#include "app/forms.h"
#include "app/image_formats.h"
#include "app/main_form.h"
#include "app/zoom_view.h"
#include "codecs/bmp_codec.h"
#include "codecs/gif_codec.h"
#include "codecs/image_file_io.h"
#include "codecs/png_codec.h"
#include "codecs/webp_codec.h"
#include "canvas/velmora_canvas.h"
#include "dialog_answer.h"
#include "i18n/file_dialog_filter.h"
#include "i18n/ml_strings.h"
#include "tools/spin_edit.h"
#include "tools/tools_form.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QImage Picture(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    img.setPixel(0, 0, qRgb(1, 2, 3));
    return img;
}

struct ImageFilesTest : TAppFixture {
    void SetUp() override
    {
        TAppFixture::SetUp();
        form->ExecuteFileDialog = [this](QFileDialog &dialog) {
            ++dialogs;
            shownFilter = dialog.selectedNameFilter();
            shownFolder = QDir::toNativeSeparators(dialog.directory().absolutePath());
            shownName = dialog.findChild<QLineEdit *>("fileNameEdit")->text();
            if (answer.isEmpty())
                return false;
            // As a user would: the filter first, then the name typed.
            dialog.selectNameFilter(dialog.nameFilters().at(ImageFormatPlace(answerFormat)));
            dialog.selectFile(answer);
            return true;
        };
        form->AskYesNo = [this](const QString &question, bool) {
            questions << question;
            return question == MLString(siDiscardChanges) ? discard : replace;
        };
    }

    // The next file dialog is answered with this file and filter.
    void Answer(const QString &file, int format)
    {
        answer = file;
        answerFormat = format;
    }

    void Paint()
    {
        canvas->SaveUndoStep(true, true);
        canvas->Picture.setPixel(1, 1, qRgb(200, 0, 0));
        canvas->Modified = true;
    }

    QTemporaryDir dir;
    QString answer;
    int answerFormat = 1;
    int dialogs = 0;
    QString shownFilter;
    QString shownFolder;
    QString shownName;
    QStringList questions;
    bool replace = false;
    bool discard = true;
};

// Answers the next New's size dialog with the given size.
void AnswerNewSize(int width, int height)
{
    QTimer::singleShot(0, [=] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<TSpinEdit *>("eWidth")->SetValue(width);
        dialog->findChild<TSpinEdit *>("eHeight")->SetValue(height);
        dialog->accept();
    });
}

} // namespace

TEST(FileNames, ForceFileExtReplacesOnlyTheLastExtensionOfTheNamePart)
{
    EXPECT_EQ(ForceFileExt("/pics/rose.gif", "png"), "/pics/rose.png");
    EXPECT_EQ(ForceFileExt("rose", "png"), "rose.png");
    EXPECT_EQ(ForceFileExt("my.rose.bmp", ".png"), "my.rose.png");
    EXPECT_EQ(ForceFileExt("rose..gif", "png"), "rose.png");
    EXPECT_EQ(ForceFileExt("/pic.s/rose", "gif"), "/pic.s/rose.gif");
    EXPECT_EQ(ForceFileExt("/pics/LOGO.GIF", "gif"), "/pics/LOGO.GIF");
    EXPECT_EQ(ForceFileExt("rose..Png", ".png"), "rose..Png");
    EXPECT_EQ(ForceFileExt("LOGO.GIF", "png"), "LOGO.png");
    EXPECT_EQ(ForceFileExt("photo.JPEG", QStringList{"jpg", "jpeg"}), "photo.JPEG");
    EXPECT_EQ(ForceFileExt("photo.png", QStringList{"jpg", "jpeg"}), "photo.jpg");
    EXPECT_EQ(NameFiltersOf("PNG images (*.png)|*.png|Pictures|*.jpg;*.jpeg"),
              QStringList({"PNG images (*.png)", "Pictures (*.jpg *.jpeg)"}));
    EXPECT_TRUE(ProgramFolder().endsWith(QDir::separator()));
    EXPECT_EQ(FolderOf("/a/b/c.png"), QDir::toNativeSeparators("/a/b/"));
}

TEST_F(ImageFilesTest, SaveAsksOnceThenWritesTheSameFileWithoutADialog)
{
    Paint();
    Answer(dir.filePath("first"), 1);
    form->miSaveClick(form->miSave);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(shownFilter, form->SaveDlg->nameFilters().at(0));
    EXPECT_EQ(shownFolder + QDir::separator(), ProgramFolder());
    const QString saved = QDir::toNativeSeparators(dir.filePath("first.png"));
    EXPECT_EQ(QDir::toNativeSeparators(form->CurrentFileName), saved);
    EXPECT_EQ(form->StatusText(1), form->CurrentFileName);
    EXPECT_FALSE(canvas->Modified);
    EXPECT_FALSE(canvas->CanUndo());
    EXPECT_EQ(LoadPngFile(saved).pixel(1, 1), qRgb(200, 0, 0));

    Paint();
    form->miSaveClick(form->miSave);
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(canvas->CanUndo());
    EXPECT_EQ(form->GetInitialFolder(), FolderOf(saved));
}

TEST_F(ImageFilesTest, TheChosenFilterDecidesTheFormatAndTheExtension)
{
    Answer(dir.filePath("rose.png"), 2);
    form->miSaveAsClick(form->miSaveAs);
    EXPECT_TRUE(form->CurrentFileName.endsWith("rose.gif"));
    EXPECT_EQ(form->CurrentFormat, 2);
    EXPECT_EQ(LoadGifFile(form->CurrentFileName), canvas->Picture);
    EXPECT_TRUE(questions.isEmpty());

    // The forced name exists already: asked, and No writes nothing.
    const QByteArray before = [&] {
        QFile f(form->CurrentFileName);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    Paint();
    Answer(dir.filePath("rose.bmp"), 2);
    form->miSaveAsClick(form->miSaveAs);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("rose.gif"));
    EXPECT_TRUE(canvas->Modified);
    EXPECT_TRUE(canvas->CanUndo());
    QFile f(dir.filePath("rose.gif"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

// The dialogs list JPEG and WebP after BMP; each filter stands for its
// format's number, which is not its place in the list.
TEST_F(ImageFilesTest, JpegAndWebpAreSavedAndOpenedThroughTheirFilters)
{
    Answer(dir.filePath("photo.png"), 5);
    form->miSaveAsClick(form->miSaveAs);
    EXPECT_TRUE(form->CurrentFileName.endsWith("photo.jpg"));
    Answer(dir.filePath("Photo.JPEG"), 5);
    form->miSaveAsClick(form->miSaveAs);
    EXPECT_EQ(shownFilter, "JPEG images (*.jpg *.jpeg)");
    EXPECT_TRUE(form->CurrentFileName.endsWith("Photo.JPEG"));
    Paint();
    Answer(dir.filePath("art"), 6);
    form->miSaveAsClick(form->miSaveAs);
    EXPECT_EQ(LoadWebpFile(dir.filePath("art.webp")), canvas->Picture);

    Answer(dir.filePath("photo.jpg"), 5);
    form->miOpenClick(form->miOpen);
    EXPECT_EQ(shownFilter, "WebP images (*.webp)");
    EXPECT_EQ(form->CurrentFormat, 5);
    form->OpenImage(dir.filePath("art.webp"));
    EXPECT_EQ(form->CurrentFormat, 6);
}

// Only OpenRaster keeps the layers. A flat format asks once per name before
// it takes the merged picture, and the layers then stay unsaved changes.
TEST_F(ImageFilesTest, LayersSurviveOpenRasterAndFlatFilesAskOnceForTheMergedPicture)
{
    canvas->NewLayer();
    canvas->Picture.setPixel(1, 1, qRgba(200, 0, 0, 255));
    canvas->SetLayerOpacity(1, 40);
    canvas->SetLayerVisible(0, false);
    const std::vector<TImageLayer> layers = canvas->LayersForSaving();
    Answer(dir.filePath("flat.png"), 1);
    form->miSaveAsClick(form->miSaveAs);
    EXPECT_FALSE(QFile::exists(dir.filePath("flat.png")));
    replace = true;
    form->miSaveAsClick(form->miSaveAs);
    form->miSaveClick(nullptr);
    ASSERT_EQ(questions.size(), 2);
    EXPECT_TRUE(questions[1].startsWith(QDir::toNativeSeparators(dir.filePath("flat.png")) + " keeps only"));
    EXPECT_TRUE(canvas->Modified);
    EXPECT_TRUE(canvas->CanUndo());
    const QImage merged = LoadPngFile(dir.filePath("flat.png"));
    EXPECT_EQ(merged.pixel(1, 1), qRgba(200, 0, 0, 102));
    EXPECT_EQ(qAlpha(merged.pixel(5, 5)), 0);

    Answer(dir.filePath("art"), 4);
    form->miSaveAsClick(form->miSaveAs);
    EXPECT_EQ(questions.size(), 2);
    EXPECT_FALSE(canvas->Modified);
    form->OpenImage(dir.filePath("art.ora"));
    EXPECT_EQ(form->CurrentFormat, 4);
    const std::vector<TImageLayer> reopened = canvas->LayersForSaving();
    ASSERT_EQ(reopened.size(), layers.size());
    for (std::size_t i = 0; i < layers.size(); ++i) {
        EXPECT_EQ(reopened[i].Name, layers[i].Name);
        EXPECT_EQ(reopened[i].Visible, layers[i].Visible);
        EXPECT_EQ(reopened[i].Opacity, layers[i].Opacity);
        EXPECT_EQ(reopened[i].Pixels.convertToFormat(QImage::Format_ARGB32),
                  layers[i].Pixels.convertToFormat(QImage::Format_ARGB32));
    }
}

TEST_F(ImageFilesTest, OpenTakesTheFilesSizePixelsAndName)
{
    const QString path = dir.filePath("small.bmp");
    SaveBmpFile(Picture(3, 2, qRgb(9, 9, 9)), path);
    Paint();
    Answer(path, 3);
    form->miOpenClick(form->miOpen);
    EXPECT_EQ(canvas->PictureWidth(), 3);
    EXPECT_EQ(canvas->PictureHeight(), 2);
    EXPECT_EQ(canvas->Picture.pixel(1, 1), qRgb(9, 9, 9));
    EXPECT_EQ(form->StatusText(0), "3x2");
    EXPECT_EQ(form->CurrentFormat, 3);
    EXPECT_FALSE(canvas->Modified);
    EXPECT_FALSE(canvas->CanUndo());

    // Save after opening a BMP writes BMP again without a dialog and empties
    // the history.
    Paint();
    form->miSaveClick(nullptr);
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(canvas->CanUndo());
    EXPECT_EQ(LoadBmpFile(path).pixel(0, 0), qRgb(1, 2, 3));

    // Open offers no name, not the file chosen last time.
    Answer(QString(), 3);
    form->miOpenClick(form->miOpen);
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(shownName, "");
}

// On a case-sensitive file system LOGO.gif would be a second file beside
// the one the user opened.
TEST_F(ImageFilesTest, SaveWritesTheOpenedFileWhateverTheCaseOfItsExtension)
{
    SaveGifFile(Picture(4, 4, qRgb(9, 9, 9)), dir.filePath("LOGO.GIF"));
    SaveBmpFile(Picture(4, 4, qRgb(9, 9, 9)), dir.filePath("Photo.Bmp"));
    for (const char *name : {"LOGO.GIF", "Photo.Bmp"}) {
        const QString path = QDir::toNativeSeparators(dir.filePath(name));
        form->OpenImage(path);
        Paint();
        form->miSaveClick(form->miSave);
        EXPECT_EQ(dialogs, 0);
        EXPECT_TRUE(questions.isEmpty());
        EXPECT_EQ(form->CurrentFileName, path);
        EXPECT_EQ(form->StatusText(1), path);
        const QImage saved = form->CurrentFormat == 2 ? LoadGifFile(path) : LoadBmpFile(path);
        EXPECT_EQ(saved.pixel(1, 1), qRgb(200, 0, 0)) << name;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"LOGO.GIF", "Photo.Bmp"}));
}

TEST_F(ImageFilesTest, AFileThatCannotBeReadOrWrittenChangesNothing)
{
    const QString png = dir.filePath("real.png");
    SavePngFile(Picture(40, 30, qRgb(5, 5, 5)), png);
    Paint();
    const QImage picture = canvas->Picture.copy();
    Answer(png, 2);
    try {
        form->miOpenClick(form->miOpen);
        ADD_FAILURE() << "a PNG file opened with the GIF filter";
    } catch (const std::runtime_error &e) {
        EXPECT_NE(std::string(e.what()).find("real.png"), std::string::npos);
    }
    EXPECT_EQ(canvas->Picture, picture);
    EXPECT_TRUE(form->CurrentFileName.isEmpty());
    EXPECT_EQ(form->CurrentFormat, 1);
    EXPECT_TRUE(canvas->Modified);
    EXPECT_TRUE(canvas->CanUndo());

    // Save as into a folder that does not exist keeps the last saved name
    // and format, Modified and the history.
    Answer(dir.filePath("kept.gif"), 2);
    form->miSaveAsClick(form->miSaveAs);
    Paint();
    Answer(dir.filePath("gone/rose.png"), 1);
    EXPECT_THROW(form->miSaveAsClick(form->miSaveAs), std::runtime_error);
    EXPECT_TRUE(form->CurrentFileName.endsWith("kept.gif"));
    EXPECT_EQ(form->CurrentFormat, 2);
    EXPECT_TRUE(canvas->Modified);
    EXPECT_TRUE(canvas->CanUndo());
}

TEST_F(ImageFilesTest, AFailingCommandShowsItsErrorAndTheProgramGoesOn)
{
    const QString bad = dir.filePath("broken.gif");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("GIF89a\x10\x00");
    f.close();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    canvas->setFocus();
    Answer(bad, 2);
    TDialogAnswer box(QMessageBox::Ok);
    QTest::keyClick(canvas, Qt::Key_O, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return box.Answered == 1; }));
    EXPECT_EQ(box.LastTitle, "Error");
    EXPECT_TRUE(box.LastText.contains("broken.gif")) << box.LastText.toStdString();
    EXPECT_EQ(canvas->PictureWidth(), 800);
}

TEST_F(ImageFilesTest, NewAndCanvasSizeUseTheSizeDialog)
{
    Answer(dir.filePath("kept.gif"), 2);
    form->miSaveAsClick(form->miSaveAs);
    ASSERT_EQ(form->CurrentFormat, 2);
    form->miSaveAsClick(form->miSaveAs);
    EXPECT_EQ(shownName, "kept.gif");

    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "New image");
        dialog->findChild<QComboBox *>("eStandard")->setCurrentIndex(7); // 1024x768
        dialog->accept();
    });
    form->miNewClick(form->miNew);
    EXPECT_EQ(form->StatusText(0), "1024x768");
    EXPECT_TRUE(form->CurrentFileName.isEmpty());
    EXPECT_TRUE(canvas->Modified);

    // The name was forgotten: Save asks again, on the last file's filter.
    form->miSaveClick(nullptr);
    EXPECT_EQ(dialogs, 3);
    EXPECT_EQ(shownFilter, form->SaveDlg->nameFilters().at(1));
    EXPECT_EQ(shownName, "");

    canvas->Picture.setPixel(0, 0, qRgb(7, 7, 7));
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Change canvas size");
        dialog->findChild<QComboBox *>("eStandard")->setCurrentIndex(0); // 320x200
        dialog->accept();
    });
    form->miCanvasSizeClick(form->miCanvasSize);
    EXPECT_EQ(form->StatusText(0), "320x200");
    EXPECT_EQ(canvas->Picture.pixel(0, 0), qRgb(7, 7, 7));
}

TEST_F(ImageFilesTest, TheCommandLineOpensTheFirstExistingFileRelativeToTheProgram)
{
    const QString jpg = dir.filePath("photo.tif");
    const QString png = dir.filePath("b.png");
    SavePngFile(Picture(20, 10, qRgb(1, 1, 1)), png);
    QFile::copy(png, jpg);
    form->OpenFromCommandLine({dir.filePath("missing.png"), jpg, png});
    EXPECT_EQ(canvas->PictureWidth(), 800);
    EXPECT_TRUE(form->CurrentFileName.isEmpty());

    // A relative name is looked up in the program's folder.
    const QString name = QStringLiteral("velmora-command-line-test.png");
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    SavePngFile(Picture(30, 20, qRgb(1, 1, 1)), beside);
    form->OpenFromCommandLine({dir.filePath("missing.png"), name});
    QFile::remove(beside);
    EXPECT_EQ(canvas->PictureWidth(), 30);
    EXPECT_EQ(QDir::fromNativeSeparators(form->CurrentFileName), beside);
}

// A picture file dropped on the window opens as Open would open it, asking
// about unsaved changes first; a file of no image format is refused.
TEST_F(ImageFilesTest, AnImageFileDroppedOnTheWindowOpens)
{
    const QString path = dir.filePath("dropped.png");
    SavePngFile(Picture(30, 20, qRgb(9, 9, 9)), path);
    QMimeData notes;
    notes.setUrls({QUrl::fromLocalFile(dir.filePath("notes.txt"))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &notes, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());

    Paint();
    QMimeData picture;
    picture.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent taken(QPoint(10, 10), Qt::CopyAction, &picture, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &taken);
    ASSERT_TRUE(taken.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &picture, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    EXPECT_EQ(questions, QStringList("Discard the changes to the current picture?"));
    EXPECT_EQ(canvas->PictureWidth(), 30);
    EXPECT_EQ(QDir::fromNativeSeparators(form->CurrentFileName), path);
}

// A slip of Ctrl+N or Ctrl+O must not drop the work done since the last
// New, Open or Save; with nothing changed neither command asks.
TEST_F(ImageFilesTest, NewAndOpenAskBeforeDroppingChanges)
{
    const QString path = dir.filePath("other.png");
    SavePngFile(Picture(30, 20, qRgb(9, 9, 9)), path);
    TDialogCanceller sizeDialogs;
    form->miNewClick(form->miNew);
    EXPECT_EQ(sizeDialogs.Cancelled, 1);
    EXPECT_TRUE(questions.isEmpty());

    Paint();
    const QImage painted = canvas->Picture.copy();
    discard = false;
    form->miNewClick(form->miNew);
    Answer(path, 1);
    form->miOpenClick(form->miOpen);
    EXPECT_EQ(questions, QStringList(2, "Discard the changes to the current picture?"));
    EXPECT_EQ(sizeDialogs.Cancelled, 1);
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(canvas->Picture, painted);
    EXPECT_TRUE(canvas->CanUndo());

    discard = true;
    form->miOpenClick(form->miOpen);
    EXPECT_EQ(canvas->PictureWidth(), 30);
    form->miOpenClick(form->miOpen);
    EXPECT_EQ(questions.size(), 3);
    EXPECT_EQ(dialogs, 2);
}

// The centre lands in the middle of the picture, not of the part the window
// shows, whatever the zoom.
TEST_F(ImageFilesTest, NewAndOpenPutTheMasterCentreInThePicturesMiddle)
{
    const QString big = dir.filePath("big.png");
    SavePngFile(Picture(3000, 3000, qRgb(9, 9, 9)), big);
    for (const TZoom zoom : {TZoom{1, 1}, TZoom{2, 1}}) {
        form->Zoom()->ZoomAt(ZoomLevels::IndexOf(zoom), QPoint());
        AnswerNewSize(1000, 1000);
        form->miNewClick(form->miNew);
        EXPECT_EQ(canvas->MasterCenter, QPoint(500, 500));
        form->OpenImage(big);
        EXPECT_EQ(canvas->MasterCenter, QPoint(1500, 1500));
        EXPECT_EQ(canvas->Zoom(), zoom);
    }
}
