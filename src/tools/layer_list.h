#pragma once

#include <QListWidget>

// The list of the Layers window: one row a layer, the top layer first, each
// with its thumbnail, its name and an eye in place of the check box. A row
// dragged elsewhere in the list is not moved by the list itself: it reports
// the move, and the list is filled again from the picture.
class TLayerList : public QListWidget {
    Q_OBJECT

public:
    explicit TLayerList(QWidget *parent);

signals:
    void RowMoved(int fromRow, int toRow);

protected:
    void dropEvent(QDropEvent *event) override;
};
