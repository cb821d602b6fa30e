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
    const QSignalBlocker blocker(list);
    QTreeWidgetItem* item = row >= 0 ? list->topLevelItem(row) : nullptr;
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
