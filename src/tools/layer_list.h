#pragma once

#include <QListWidget>

// The list of the Layers window: one row a layer, the top layer first, each
// with its thumbnail, its name and an eye in place of the check box. A click
// on an eye shows or hides that layer without making it the current row, so
// hiding the background does not move the painting onto it. A row dragged
// elsewhere in the list is not moved by the list itself: it reports the
// move, and the list is filled again from the picture.
class TLayerList : public QListWidget {
    Q_OBJECT

public:
    explicit TLayerList(QWidget *parent);

signals:
    void RowMoved(int fromRow, int toRow);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool ToggleEyeAt(QPoint pos);

    // The press was an eye's: its release is no click on the row.
    bool EyeClicked = false;
};
