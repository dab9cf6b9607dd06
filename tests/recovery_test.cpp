#include "app_fixture.h"
#include "app/recovery_autosave.h"
#include "app/test_stroke.h"
#include "codecs/gif_codec.h"
#include "codecs/png_codec.h"
#include "dialog_answer.h"
#include "engine/recovery_folder.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

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

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Starts after a real Velmora that painted on a GIF picture and was killed:
// the suite runs the program once, and each test puts its recovery copy, and
// the stale lock it left, back in place.
struct CrashRecoveryTest : TAppFixture {
    static void SetUpTestSuite()
    {
        Dir = new QTemporaryDir;
        PictureFile = Dir->filePath(QStringLiteral("picture.gif"));
        SaveGifFile(Gradient(), PictureFile);
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
        CopyName = copies.first();
        CopyBytes = FileBytes(QDir(folder).filePath(CopyName));
        LockBytes = FileBytes(RecoveryLockPath(QDir(folder).filePath(CopyName)));
    }

    static void TearDownTestSuite() { delete Dir; }

    void SetUp() override
    {
        ASSERT_FALSE(CopyBytes.isEmpty());
        ASSERT_FALSE(LockBytes.isEmpty());
        OldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", Dir->filePath(QStringLiteral("data")).toLocal8Bit());
        Folder = RecoveryFolder();
        QDir(Folder).removeRecursively();
        QDir().mkpath(Folder);
        TAppFixture::SetUp();
    }

    void TearDown() override
    {
        TAppFixture::TearDown();
        qputenv("XDG_DATA_HOME", OldDataHome);
    }

    QString PlaceCopy(const QString &name, const QByteArray &bytes, int ageSeconds = 0)
    {
        QFile file(QDir(Folder).filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        Age(file.fileName(), ageSeconds);
        return file.fileName();
    }

    static void Age(const QString &path, int seconds)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime);
    }

    // A program start: a new main window is shown with the given command
    // line; every message box gets the answer. Returns how many came.
    int Start(QMessageBox::StandardButton answer, const QStringList &arguments = {})
    {
        CreateMainForm();
        TDialogAnswer dialogs(answer);
        form->FormShow(arguments);
        LastTitle = dialogs.LastTitle;
        LastText = dialogs.LastText;
        return dialogs.Answered;
    }

    // Changes the picture and lets a tick copy it.
    void Change()
    {
        canvas->Clear(canvas->Picture.pixel(0, 0) == qRgb(0, 0, 0) ? clWhite : clBlack);
        form->Autosave->Tick();
        form->Autosave->Wait();
    }

    QStringList Entries() const { return QDir(Folder).entryList(QDir::Files, QDir::Name); }

    static inline QTemporaryDir *Dir = nullptr;
    static inline QString PictureFile;
    static inline QString CopyName;
    static inline QByteArray CopyBytes;
    static inline QByteArray LockBytes;
    QByteArray OldDataHome;
    QString Folder;
    QString LastTitle, LastText;
};

} // namespace

// The picture comes back exactly as the killed program had painted it, as
// unsaved changes to its file in its format; the command-line file is then
// not opened. The copy stays, under this instance's lock instead of the
// stale one, and this instance writes its own copy of the picture there.
TEST_F(CrashRecoveryTest, YesRestoresThePaintedPictureInsteadOfTheCommandLineFile)
{
    const QString copy = PlaceCopy(CopyName, CopyBytes, 60);
    PlaceCopy(CopyName + QStringLiteral(".lock"), LockBytes);
    const QString other = Dir->filePath(QStringLiteral("other.png"));
    SavePngFile(QImage(10, 10, QImage::Format_RGB32), other);
    ASSERT_EQ(Start(QMessageBox::Yes, {other}), 1);
    EXPECT_EQ(LastTitle, ConfirmationCaption);
    EXPECT_EQ(form->CurrentFileName, PictureFile);
    EXPECT_EQ(form->CurrentFormat, 2);
    EXPECT_TRUE(canvas->Modified);
    EXPECT_FALSE(canvas->CanUndo());
    EXPECT_TRUE(AbandonedRecoveryCopies(Folder).isEmpty());

    const QDateTime placed = QFileInfo(copy).lastModified();
    form->Autosave->Tick();
    form->Autosave->Wait();
    EXPECT_EQ(Entries(), QStringList({CopyName, CopyName + QStringLiteral(".lock")}));
    EXPECT_GT(QFileInfo(copy).lastModified(), placed);

    // The restored picture is unsaved work: opening the file asks first.
    const QImage restored = canvas->Picture.copy();
    TDialogAnswer yes(QMessageBox::Yes);
    form->OpenImage(PictureFile);
    EXPECT_EQ(yes.Answered, 1);
    EXPECT_NE(canvas->Picture, restored);
    DrawTestStroke(*form, QLatin1String(Stroke));
    EXPECT_EQ(canvas->Picture, restored);
}

// A layered picture is copied with its layers, in place of the flat copy,
// and comes back with them; flattened, it is a flat copy again.
TEST_F(CrashRecoveryTest, ALayeredPictureComesBackWithItsLayers)
{
    ASSERT_EQ(Start(QMessageBox::Yes), 0);
    Change();
    const QString flat = Entries().first();
    canvas->NewLayer();
    DrawTestStroke(*form, QLatin1String(Stroke));
    canvas->SetLayerName(1, QStringLiteral("Lines"));
    canvas->SetLayerVisible(0, false);
    canvas->SetLayerOpacity(1, 40);
    form->Autosave->Tick();
    form->Autosave->Wait();
    const QString layered = QString(flat).replace(QLatin1String(".png"), QLatin1String(".ora"));
    EXPECT_EQ(Entries(), QStringList({layered, layered + QStringLiteral(".lock")}));
    const QByteArray bytes = FileBytes(QDir(Folder).filePath(layered));
    const std::vector<TImageLayer> painted = canvas->LayersForSaving();

    CreateMainForm();
    PlaceCopy(QStringLiteral("1-1.ora"), bytes);
    ASSERT_EQ(Start(QMessageBox::Yes), 1);
    const std::vector<TImageLayer> back = canvas->LayersForSaving();
    ASSERT_EQ(back.size(), 2u);
    for (std::size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].Name, painted[i].Name);
        EXPECT_EQ(back[i].Visible, painted[i].Visible);
        EXPECT_EQ(back[i].Opacity, painted[i].Opacity);
        EXPECT_EQ(back[i].Pixels.convertToFormat(QImage::Format_ARGB32),
                  painted[i].Pixels.convertToFormat(QImage::Format_ARGB32));
    }
    EXPECT_TRUE(canvas->Modified);

    canvas->SetLayerVisible(0, true);
    canvas->Flatten();
    form->Autosave->Tick();
    form->Autosave->Wait();
    EXPECT_EQ(Entries(), QStringList({QStringLiteral("1-1.png"), QStringLiteral("1-1.png.lock")}));
}

// Esc and the window's close button put the question off and keep every
// copy; No deletes each copy in turn, and the next start asks nothing.
TEST_F(CrashRecoveryTest, OnlyNoDeletesTheCopies)
{
    PlaceCopy(QStringLiteral("1-1.png"), CopyBytes, 60);
    PlaceCopy(QStringLiteral("2-2.png"), CopyBytes);
    for (const bool closeButton : {false, true}) {
        CreateMainForm();
        int asked = 0;
        TModalWatcher<QMessageBox> dismiss([&](QMessageBox *box) {
            ++asked;
            closeButton ? void(box->close()) : QTest::keyClick(box, Qt::Key_Escape);
        });
        EXPECT_FALSE(form->RestoreRecoveryCopy());
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(Entries().size(), 2);
    }
    EXPECT_EQ(Start(QMessageBox::No), 2);
    EXPECT_TRUE(Entries().isEmpty());
    EXPECT_EQ(Start(QMessageBox::No), 0);
}

// Another instance starting while this one asks about a copy does not offer
// it too.
TEST_F(CrashRecoveryTest, TwoInstancesStartedTogetherAskOnce)
{
    PlaceCopy(QStringLiteral("1-1.png"), CopyBytes);
    TfrmMainForm other;
    int othersQuestions = -1;
    TModalWatcher<QMessageBox> yes([&](QMessageBox *box) {
        if (othersQuestions < 0) {
            TDialogAnswer no(QMessageBox::No);
            other.RestoreRecoveryCopy();
            othersQuestions = no.Answered;
        }
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_TRUE(form->RestoreRecoveryCopy());
    EXPECT_EQ(othersQuestions, 0);
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
    Change();
    EXPECT_EQ(Entries().size(), 2u);
    {
        TDialogAnswer yes(QMessageBox::Yes);
        EXPECT_TRUE(form->FormCloseQuery());
    }
    EXPECT_TRUE(Entries().isEmpty());
    Change();
    EXPECT_EQ(Entries().size(), 2u);
    CloseMainForm();
    EXPECT_TRUE(Entries().isEmpty());
}

// Save, Open and New each take the copy away; a save that failed keeps it.
TEST_F(CrashRecoveryTest, SaveOpenAndNewRemoveTheCopyAFailedSaveKeepsIt)
{
    const QString file = Dir->filePath(QStringLiteral("work.png"));
    SavePngFile(Gradient(), file);
    const std::pair<std::function<void()>, bool> commands[] = {
        {[this] { form->miSaveClick(); }, true},
        {[this, file] { form->OpenImage(file); }, true},
        {[this] { form->miNewClick(); }, true},
        {[this] {
             form->CurrentFileName = Dir->filePath(QStringLiteral("gone/work.png"));
             EXPECT_ANY_THROW(form->miSaveClick());
         }, false},
    };
    TModalWatcher<QDialog> agree([](QDialog *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        box ? box->button(QMessageBox::Yes)->click() : dialog->accept();
    });
    for (const auto &[command, removes] : commands) {
        Start(QMessageBox::Yes, {file});
        Change();
        ASSERT_EQ(Entries().size(), 2u);
        command();
        EXPECT_EQ(Entries().size(), removes ? 0u : 2u);
    }
}

// A copy the folder refused is written at the next tick, with no further
// change to the picture.
TEST_F(CrashRecoveryTest, ACopyTheFolderRefusedIsWrittenOnceItCan)
{
    Start(QMessageBox::Yes);
    QDir(Folder).removeRecursively();
    QFile blocker(Folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Change();
    EXPECT_TRUE(QFileInfo(Folder).isFile());
    blocker.remove();
    form->Autosave->Tick();
    form->Autosave->Wait();
    EXPECT_EQ(Entries().size(), 2u);
}

// A tick during a stroke copies at the release, never half a stroke.
TEST_F(CrashRecoveryTest, ATickDuringAStrokeCopiesAtTheRelease)
{
    Start(QMessageBox::Yes);
    const QPoint from = canvas->PictureToClient(QPoint(20, 20)), to = from + QPoint(50, 0);
    canvas->MouseDown(mbLeft, ssLeft, from.x(), from.y());
    canvas->MouseMove(ssLeft, to.x(), to.y());
    form->Autosave->Tick();
    form->Autosave->Wait();
    EXPECT_TRUE(Entries().isEmpty());
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Entries().size() == 2; }, 60000));
}

// Save writes a restored name again only while its file is as the lost
// instance saw it (by the copy's mtime for copies that carry no stamp);
// otherwise it asks for a name.
TEST_F(CrashRecoveryTest, ARestoredNameWhoseFileChangedOrWentIsSavedThroughTheDialog)
{
    const QString file = Dir->filePath(QStringLiteral("named.png"));
    for (const int later : {0, 1, 2}) { // the file kept, rewritten, removed
        CloseMainForm();
        SavePngFile(QImage(8, 8, QImage::Format_RGB32), file);
        Age(file, 60);
        const std::optional<TFileStamp> stamp = later ? std::optional(FileStampOf(file)) : std::nullopt;
        const std::vector<std::uint8_t> bytes = EncodeRecoveryPng(Gradient(), {file, 1, stamp});
        PlaceCopy(QStringLiteral("1-1.png"), QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())));
        if (later == 1)
            SavePngFile(Gradient(), file);
        if (later == 2)
            QFile::remove(file);
        ASSERT_EQ(Start(QMessageBox::Yes), 1);
        int dialogs = 0;
        form->ExecuteFileDialog = [&dialogs](QFileDialog &) { return ++dialogs < 0; };
        form->miSaveClick();
        EXPECT_EQ(dialogs, later ? 1 : 0) << later;
    }
}
