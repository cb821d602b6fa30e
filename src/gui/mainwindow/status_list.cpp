#include "gui/mainwindow/status_list.h"

#include <QEvent>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionHeader>

namespace veltrix {

namespace {

// Rows a list shows before it needs more room than its share.
constexpr int kMinimumRows = 4;

}  // namespace

StatusList::StatusList(const QStringList& captions, QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    // Each column as wide as its widest text; the last one takes what is left.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    SetCaptions(captions);
}

void StatusList::changeEvent(QEvent* event) {
    QTreeWidget::changeEvent(event);
    if ((event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) &&
        !measuring_) {
        QStringList captions;
        for (int column = 0; column < columnCount(); ++column) {
            captions.append(headerItem()->text(column));
        }
        SetCaptions(captions);
    }
}

void StatusList::SetCaptions(const QStringList& captions) {
    measuring_ = true;
    QHeaderView* sections = header();
    sections->ensurePolished();
    // The captions and their sizes go in together: a section without its size would
    // be measured by Qt, in bold, as soon as another one changes.
    auto* labels = new QTreeWidgetItem;
    for (int column = 0; column < captions.size(); ++column) {
        QStyleOptionHeader option;
        option.initFrom(sections);
        option.orientation = Qt::Horizontal;
        option.section = column;
        option.textAlignment = sections->defaultAlignment();
        option.text = captions.at(column);
        labels->setText(column, option.text);
        labels->setSizeHint(column, sections->style()->sizeFromContents(
                                        QStyle::CT_HeaderSection, &option, QSize(), sections));
    }
    setHeaderItem(labels);
    const int rowHeight = fontMetrics().height() + 4;
    setMinimumHeight(sections->sizeHint().height() + kMinimumRows * rowHeight);
    measuring_ = false;
}

}  // namespace veltrix
