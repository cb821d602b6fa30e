#include "ui/platform/list_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include "ui/platform/tab_stop_delegate.h"
#include "ui/platform/tabbed_text.h"

namespace veltrix::platform {

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

void ListBox::SetTabStops(std::vector<int> dialogUnits) {
    tabStops_ = std::move(dialogUnits);
    if (tabStops_.empty()) {
        if (delegate_ != nullptr) {
            setItemDelegate(new QStyledItemDelegate(this));
            delete delegate_;
            delegate_ = nullptr;
        }
        return;
    }
    if (delegate_ == nullptr) {
        delegate_ = new TabStopDelegate(this);
        setItemDelegate(delegate_);
    }
    UpdateStops();
}

std::vector<int> ListBox::TabStopsPixels() const {
    const int baseUnit = HorizontalBaseUnit(fontMetrics());
    std::vector<int> pixels;
    pixels.reserve(tabStops_.size());
    for (const int stop : tabStops_) {
        pixels.push_back(DialogUnitsToPixelsX(stop, baseUnit));
    }
    return pixels;
}

void ListBox::UpdateStops() {
    if (delegate_ != nullptr) {
        delegate_->SetStops(TabStopsPixels());
        viewport()->update();
    }
}

int ListBox::AddRow(const QString& text) {
    if (!sorted_) {
        return InsertRow(-1, text);
    }
    int index = 0;
    while (index < count() &&
           QString::compare(item(index)->text(), text, Qt::CaseInsensitive) <= 0) {
        ++index;
    }
    return InsertRow(index, text);
}

int ListBox::InsertRow(int index, const QString& text) {
    if (index < 0 || index > count()) {
        index = count();
    }
    insertItem(index, text);
    return index;
}

int ListBox::SelectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ListBox::SetSelectedRow(int row) {
    if (row < 0 || row >= count()) {
        clearSelection();
        return;
    }
    setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

void ListBox::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid()) {
        emit userSelChange();
    }
}

void ListBox::keyPressEvent(QKeyEvent* event) {
    const int before = SelectedRow();
    QListWidget::keyPressEvent(event);
    if (SelectedRow() != before) {
        emit userSelChange();
    }
}

void ListBox::changeEvent(QEvent* event) {
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateStops();
    }
}

}  // namespace veltrix::platform
