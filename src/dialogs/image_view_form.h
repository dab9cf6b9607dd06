#pragma once

#include <QDialog>

class QLabel;

// Shows one bitmap, centred in a client area of its size; Esc closes it.
class TfrmImageView : public QDialog {
    Q_OBJECT

public:
    explicit TfrmImageView(QWidget *parent = nullptr);

    QLabel *Image = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// Creates the image view for the bitmap, shows it modally and frees it.
void ShowImageView(const QImage &bitmap);
