#include "dialogs/image_view_form.h"

#include "dialogs/center_on_desktop.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

TfrmImageView::TfrmImageView(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmImageView"));
    setWindowTitle(QStringLiteral("Image"));
    Image = new QLabel(this);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Image);
}

void TfrmImageView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        accept();
        return;
    }
    event->ignore();
}

void ShowImageView(const QImage &bitmap)
{
    TfrmImageView view(QApplication::activeWindow());
    view.Image->setPixmap(QPixmap::fromImage(bitmap));
    view.setFixedSize(bitmap.size());
    CenterOnDesktop(view);
    view.exec();
}
