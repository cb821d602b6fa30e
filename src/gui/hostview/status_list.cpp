#include "gui/hostview/status_list.h"

#include <QEvent>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionHeader>

namespace veltrix {

namespace {

// Rows a list shows before it needs more room than its share.
constexpr int kMinimumRows = 4;

}  // namespace

StatusList::StatusList(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    // Each column as wide as its widest text; the last one takes what is left. The
    // captions are not buttons: the lists keep their order.
    header()->setSectionsClickable(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
}

void StatusList::setModel(QAbstractItemModel* model) {
    // The sizes go in before the captions reach the header: a section without its size
    // would be measured by Qt, in bold.
    MeasureCaptions(model);
    QTreeView::setModel(model);
    KeepRoomForRows();
}

void StatusList::changeEvent(QEvent* event) {
    QTreeView::changeEvent(event);
    if ((event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) &&
        !measuring_) {
        MeasureCaptions(model());
        KeepRoomForRows();
    }
}

void StatusList::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    emit CurrentRowChanged(current.isValid() ? current.row() : -1);
}

void StatusList::MeasureCaptions(QAbstractItemModel* captions) {
    if (captions == nullptr) {
        return;
    }
    measuring_ = true;
    QHeaderView* sections = header();
    sections->ensurePolished();
    for (int column = 0; column < captions->columnCount(); ++column) {
        QStyleOptionHeader option;
        option.initFrom(sections);
        option.orientation = Qt::Horizontal;
        option.section = column;
        option.textAlignment = sections->defaultAlignment();
        option.text = captions->headerData(column, Qt::Horizontal).toString();
        captions->setHeaderData(column, Qt::Horizontal,
                                sections->style()->sizeFromContents(QStyle::CT_HeaderSection,
                                                                    &option, QSize(), sections),
                                Qt::SizeHintRole);
    }
    measuring_ = false;
}

void StatusList::KeepRoomForRows() {
    const int rowHeight = fontMetrics().height() + 4;
    setMinimumHeight(header()->sizeHint().height() + kMinimumRows * rowHeight);
}

}  // namespace veltrix
