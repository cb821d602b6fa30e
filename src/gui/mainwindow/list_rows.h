#pragma once
// Row selection of the window's lists by row number, as the selection state keeps it.

#include <QSignalBlocker>
#include <QTreeWidget>

namespace veltrix {

// The selected row, -1 for none.
inline int SelectedRowOf(const QTreeWidget* list) {
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.front());
}

// Selects `row` (-1: none) without notifying the window.
inline void SelectRow(QTreeWidget* list, int row) {
    QTreeWidgetItem* item = row >= 0 ? list->topLevelItem(row) : nullptr;
    // Every poll cycle selects the rows again; a row that already is the one selected
    // and current is left alone rather than cleared, repainted and selected anew.
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (list->currentItem() == item &&
        (item == nullptr ? selected.isEmpty() : selected.size() == 1 && selected[0] == item)) {
        return;
    }
    const QSignalBlocker blocker(list);
    list->clearSelection();
    list->setCurrentItem(item);
    if (item != nullptr) {
        item->setSelected(true);
    }
}

inline void ClearList(QTreeWidget* list) {
    const QSignalBlocker blocker(list);
    list->clear();
}

}  // namespace veltrix
