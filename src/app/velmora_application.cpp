#include "app/velmora_application.h"

#include "app/messages.h"
#include "i18n/ml_strings.h"

#include <QMessageBox>

#include <exception>
#include <new>

TVelmoraApplication::TVelmoraApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // Names the data folder that holds the recovery copies.
    setOrganizationName(QStringLiteral("Tarnwick"));
    setApplicationName(QStringLiteral("Velmora"));
}

bool TVelmoraApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc &) {
        ReportOutOfMemory();
    } catch (const std::exception &e) {
        ReportError(QString::fromUtf8(e.what()));
    } catch (...) {
        ReportError(QStringLiteral("Unknown error"));
    }
    return false;
}

void TVelmoraApplication::ReportOutOfMemory()
{
    ReportError(MLString(siOutOfMemory));
}

// The box is shown from the event loop rather than from inside the failed
// handler, which may have been halfway through a paint or a mouse grab.
void TVelmoraApplication::ReportError(const QString &message)
{
    if (ErrorPending)
        return;
    ErrorPending = true;
    QMetaObject::invokeMethod(this, [this, message] { ShowError(message); }, Qt::QueuedConnection);
}

void TVelmoraApplication::ShowError(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, MLString(siErrorCaption), message, QMessageBox::Ok, activeWindow());
    box.exec();
    ErrorPending = false;
}
