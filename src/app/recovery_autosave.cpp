#include "app/recovery_autosave.h"

#include "app/main_form.h"
#include "app/picture_state.h"
#include "canvas/velmora_canvas.h"
#include "engine/recovery_folder.h"
#include "engine/recovery_writer.h"

#include <QEvent>
#include <QLockFile>

#include <algorithm>

namespace {

constexpr int DefaultSeconds = 30;
constexpr int MaxSeconds = 3600;

} // namespace

int AutosaveSeconds(const QByteArray &value)
{
    bool ok = false;
    const qlonglong seconds = value.trimmed().toLongLong(&ok);
    return ok ? int(std::clamp<qlonglong>(seconds, 1, MaxSeconds)) : DefaultSeconds;
}

TRecoveryAutosave::TRecoveryAutosave(TfrmMainForm *form)
    : QObject(form)
    , Form(form)
    , Writer(std::make_unique<TRecoveryWriter>(RecoveryFolder()))
{
    Timer.setInterval(AutosaveSeconds(qgetenv("VELMORA_AUTOSAVE_SECONDS")) * 1000);
    connect(&Timer, &QTimer::timeout, this, &TRecoveryAutosave::Tick);
    Timer.start();
    Form->Canvas()->installEventFilter(this);
}

TRecoveryAutosave::~TRecoveryAutosave() = default;

void TRecoveryAutosave::Discard()
{
    Writer->Remove();
    CopyAtRelease = false;
    CleanKey = PictureStateKey(*Form->Canvas());
}

void TRecoveryAutosave::TakeOver(const QString &copyPath, std::unique_ptr<QLockFile> lock)
{
    Writer->TakeOver(copyPath, std::move(lock));
}

void TRecoveryAutosave::Tick()
{
    const TVelmoraCanvas *canvas = Form->Canvas();
    const qint64 key = PictureStateKey(*canvas);
    if (!canvas->Modified || key == CleanKey || key == Writer->WrittenTag())
        return;
    if (canvas->Dragging) {
        CopyAtRelease = true;
        return;
    }
    Copy();
}

void TRecoveryAutosave::Wait()
{
    Writer->Wait();
}

// The copy is taken once the canvas has handled the release, of the mouse
// or of the stylus.
bool TRecoveryAutosave::eventFilter(QObject *watched, QEvent *event)
{
    const bool release = event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::TabletRelease;
    if (CopyAtRelease && release)
        QMetaObject::invokeMethod(this, [this] { Tick(); }, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

// The interval starts again with each copy. The copy holds every layer.
void TRecoveryAutosave::Copy()
{
    const TVelmoraCanvas &canvas = *Form->Canvas();
    const TRecoveryInfo info{Form->CurrentFileName, Form->CurrentFormat, Form->FileStamp};
    const qint64 tag = PictureStateKey(canvas);
    const bool submitted = canvas.IsFlatPicture()
                               ? Writer->Submit(canvas.ComposedPicture(), info, tag)
                               : Writer->Submit(canvas.LayersForSaving(), canvas.ComposedPicture(), info, tag);
    if (!submitted)
        return;
    CopyAtRelease = false;
    Timer.start();
}
