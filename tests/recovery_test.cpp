#include "app/forms.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "app/recovery_autosave.h"
#include "app/test_stroke.h"
#include "canvas/velmora_canvas.h"
#include "codecs/png_codec.h"
#include "dialog_answer.h"
#include "engine/recovery_folder.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

TEST(RecoveryAutosave, IntervalFromTheEnvironment)
{
    const std::pair<const char *, int> cases[] = {
        {"", 30}, {"12", 12}, {" 7 ", 7}, {"0", 1}, {"-4", 1}, {"3601", 3600}, {"99999999999", 3600}, {"1.5", 30},
        {"ten", 30},
    };
    for (const auto &[value, seconds] : cases)
        EXPECT_EQ(AutosaveSeconds(value), seconds) << value;
}

namespace {

const char Stroke[] = "20,20,100,70";

QImage Gradient()
{
    QImage img(120, 90, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x * 2, y * 2, 200));
    return img;
}

// Starts after a real Velmora that painted and was killed: the suite runs
// the program once, and each test puts its recovery copy back in place.
struct CrashRecoveryTest : ::testing::Test {
    static void SetUpTestSuite()
    {
        Dir = new QTemporaryDir;
        PictureFile = Dir->filePath(QStringLiteral("picture.png"));
        SavePngFile(Gradient(), PictureFile);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), Dir->path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), Dir->filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("VELMORA_AUTOSAVE_SECONDS"), QStringLiteral("1"));
        env.insert(QStringLiteral("VELMORA_TEST_STROKE"), QLatin1String(Stroke));
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QStringLiteral(VELMORA_BINARY), {PictureFile});
        ASSERT_TRUE(child.waitForStarted());
        const QString folder = Dir->filePath(QStringLiteral("data/Tarnwick/Velmora/recovery"));
        QStringList copies;
        const bool written = QTest::qWaitFor([&] {
            copies = QDir(folder).entryList({QStringLiteral("*.png")});
            return !copies.isEmpty();
        }, 60000);
        child.kill();
        child.waitForFinished();
        ASSERT_TRUE(written);
        ASSERT_EQ(copies.size(), 1);
        QFile copy(QDir(folder).filePath(copies.first()));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        CopyBytes = copy.readAll();
        copy.remove();
    }

    static void TearDownTestSuite() { delete Dir; }

    void SetUp() override
    {
        ASSERT_FALSE(CopyBytes.isEmpty());
        OldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", Dir->filePath(QStringLiteral("data")).toLocal8Bit());
        Folder = RecoveryFolder();
        QDir(Folder).removeRecursively();
        QDir().mkpath(Folder);
        RegisterMessageStrings();
    }

    void TearDown() override
    {
        Quit();
        qputenv("XDG_DATA_HOME", OldDataHome);
    }

    QString PlaceCopy(const QString &name, const QByteArray &bytes, int ageSeconds = 0)
    {
        QFile file(QDir(Folder).filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.flush();
        file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime);
        return file.fileName();
    }

    // A program start: the main window is created and shown with the given
    // command line; every message box gets the answer. Returns how many came.
    int Start(QMessageBox::StandardButton answer, const QStringList &arguments = {})
    {
        Quit();
        form = std::make_unique<TfrmMainForm>();
        frmMainForm = form.get();
        CreateToolWindows(form.get());
        TDialogAnswer dialogs(answer);
        form->FormShow(arguments);
        LastTitle = dialogs.LastTitle;
        LastText = dialogs.LastText;
        return dialogs.Answered;
    }

    void Quit()
    {
        form.reset();
        frmMainForm = nullptr;
    }

    QStringList Entries() const { return QDir(Folder).entryList(QDir::Files, QDir::Name); }

    static inline QTemporaryDir *Dir = nullptr;
    static inline QString PictureFile;
    static inline QByteArray CopyBytes;
    QByteArray OldDataHome;
    QString Folder;
    std::unique_ptr<TfrmMainForm> form;
    QString LastTitle, LastText;
};

} // namespace

// The picture comes back exactly as the killed program had painted it, as
// unsaved changes to its file; the command-line file is then not opened.
TEST_F(CrashRecoveryTest, YesRestoresThePaintedPictureInsteadOfTheCommandLineFile)
{
    PlaceCopy(QStringLiteral("1-1.png"), CopyBytes);
    const QString other = Dir->filePath(QStringLiteral("other.png"));
    SavePngFile(QImage(10, 10, QImage::Format_RGB32), other);
    ASSERT_EQ(Start(QMessageBox::Yes, {other}), 1);
    EXPECT_EQ(LastTitle, ConfirmationCaption);
    TVelmoraCanvas *canvas = form->Canvas();
    EXPECT_EQ(form->CurrentFileName, PictureFile);
    EXPECT_TRUE(canvas->Modified);
    EXPECT_FALSE(canvas->CanUndo());
    EXPECT_TRUE(Entries().isEmpty());

    // The restored picture is unsaved work: opening the file asks first.
    const QImage restored = canvas->Picture.copy();
    QStringList questions;
    form->AskYesNo = [&](const QString &question, bool) {
        questions << question;
        return true;
    };
    form->OpenImage(PictureFile);
    EXPECT_EQ(questions.size(), 1);
    EXPECT_NE(canvas->Picture, restored);
    DrawTestStroke(*form, QLatin1String(Stroke));
    EXPECT_EQ(canvas->Picture, restored);
}

TEST_F(CrashRecoveryTest, NoDeletesEachCopyInTurnAndTheNextStartAsksNothing)
{
    PlaceCopy(QStringLiteral("1-1.png"), CopyBytes, 60);
    PlaceCopy(QStringLiteral("2-2.png"), CopyBytes);
    EXPECT_EQ(Start(QMessageBox::No), 2);
    EXPECT_TRUE(Entries().isEmpty());
    EXPECT_EQ(Start(QMessageBox::No), 0);
}

TEST_F(CrashRecoveryTest, AnUnreadableCopyIsKeptAsideAndReportedOnce)
{
    const QString copy = PlaceCopy(QStringLiteral("1-1.png"), CopyBytes.left(CopyBytes.size() / 2));
    ASSERT_EQ(Start(QMessageBox::Ok), 1);
    EXPECT_EQ(LastTitle, WarningCaption);
    EXPECT_TRUE(LastText.contains(QDir::toNativeSeparators(copy) + QStringLiteral(".bad")));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("1-1.png.bad")});
    EXPECT_EQ(Start(QMessageBox::Ok), 0);
}

TEST_F(CrashRecoveryTest, ACopyARunningInstanceHoldsIsNotOffered)
{
    const QString copy = PlaceCopy(QStringLiteral("1-1.png"), CopyBytes);
    QLockFile lock(RecoveryLockPath(copy));
    ASSERT_TRUE(lock.tryLock(0));
    EXPECT_EQ(Start(QMessageBox::Yes), 0);
    EXPECT_TRUE(QFile::exists(copy));
}

// Changes get a copy; a close confirmed without saving and a clean exit
// each take it away.
TEST_F(CrashRecoveryTest, CopiesFollowChangesAndGoWithAConfirmedCloseOrACleanExit)
{
    ASSERT_EQ(Start(QMessageBox::Yes), 0);
    const auto change = [this] {
        form->Canvas()->Clear(form->Canvas()->Picture.pixel(0, 0) == qRgb(0, 0, 0) ? clWhite : clBlack);
        form->Autosave->Tick();
        form->Autosave->Wait();
    };
    change();
    EXPECT_EQ(Entries().size(), 2u);
    {
        TDialogAnswer yes(QMessageBox::Yes);
        EXPECT_TRUE(form->FormCloseQuery());
    }
    EXPECT_TRUE(Entries().isEmpty());
    change();
    EXPECT_EQ(Entries().size(), 2u);
    Quit();
    EXPECT_TRUE(Entries().isEmpty());
}
