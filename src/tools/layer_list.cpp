#include "tools/layer_list.h"

#include "tools/layer_glyphs.h"

#include <QDropEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

#include <utility>

namespace {

// Draws the rows' check boxes as an open or a shut eye.
class TEyeStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element != PE_IndicatorItemViewItemCheck) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const bool shown = option->state & State_On;
        LayerGlyph(shown ? lgEyeOpen : lgEyeShut).paint(painter, option->rect);
    }
};

} // namespace

TLayerList::TLayerList(QWidget *parent)
    : QListWidget(parent)
{
    auto *style = new TEyeStyle;
    style->setParent(this);
    setStyle(style);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
}

bool TLayerList::ToggleEyeAt(QPoint pos)
{
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return false;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    if (!style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this).contains(pos))
        return false;
    QListWidgetItem *row = item(index.row());
    row->setCheckState(row->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    EyeClicked = true;
    return true;
}

void TLayerList::mousePressEvent(QMouseEvent *event)
{
    if (!ToggleEyeAt(event->position().toPoint()))
        QListWidget::mousePressEvent(event);
}

void TLayerList::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!ToggleEyeAt(event->position().toPoint()))
        QListWidget::mouseDoubleClickEvent(event);
}

void TLayerList::mouseReleaseEvent(QMouseEvent *event)
{
    if (!std::exchange(EyeClicked, false))
        QListWidget::mouseReleaseEvent(event);
}

// A drop below the last row moves the layer to the bottom.
void TLayerList::dropEvent(QDropEvent *event)
{
    event->ignore();
    if (event->source() != this)
        return;
    const int from = currentRow();
    const QModelIndex target = indexAt(event->position().toPoint());
    const int to = target.isValid() ? target.row() : count() - 1;
    if (from >= 0 && to != from)
        emit RowMoved(from, to);
}
