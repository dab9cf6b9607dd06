#include "app/recovery_autosave.h"

#include "app/main_form.h"
#include "canvas/velmora_canvas.h"
#include "engine/recovery_folder.h"
#include "engine/recovery_writer.h"

#include <QEvent>

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
    CopiedKey = Form->Canvas()->Picture.cacheKey();
}

void TRecoveryAutosave::Tick()
{
    const TVelmoraCanvas *canvas = Form->Canvas();
    if (!canvas->Modified || canvas->Picture.cacheKey() == CopiedKey)
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

// The copy is taken once the canvas has handled the release.
bool TRecoveryAutosave::eventFilter(QObject *watched, QEvent *event)
{
    if (CopyAtRelease && event->type() == QEvent::MouseButtonRelease)
        QMetaObject::invokeMethod(this, [this] { Tick(); }, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

// The interval starts again with each copy.
void TRecoveryAutosave::Copy()
{
    const TVelmoraCanvas *canvas = Form->Canvas();
    if (!Writer->Submit(canvas->Picture, {Form->CurrentFileName, Form->CurrentFormat}))
        return;
    CopyAtRelease = false;
    CopiedKey = canvas->Picture.cacheKey();
    Timer.start();
}
