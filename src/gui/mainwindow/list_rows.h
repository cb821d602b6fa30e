#pragma once
// Row selection of the window's lists by row number, as the selection state keeps it.

#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace veltrix {

// The selected row, -1 for none.
inline int SelectedRowOf(const QTreeWidget* list) {
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.front());
}

// Whether the list's selection is exactly `item`'s row (nothing, for nullptr). The
// window's lists select single rows, and only SelectRow selects from code (clearing
// first), so at most one row is ever selected and the item can tell. Cheaper than
// selectedItems(), which lists and de-duplicates every selected cell: this runs for
// both lists in every poll cycle.
inline bool SelectionIsOnly(const QTreeWidget* list, const QTreeWidgetItem* item) {
    return item != nullptr ? item->isSelected() : !list->selectionModel()->hasSelection();
}

// Selects `row` (-1: none) without notifying the window.
inline void SelectRow(QTreeWidget* list, int row) {
    QTreeWidgetItem* item = row >= 0 ? list->topLevelItem(row) : nullptr;
    // Every poll cycle selects the rows again; a row that already is the one selected
    // and current is left alone rather than cleared, repainted and selected anew.
    if (list->currentItem() == item && SelectionIsOnly(list, item)) {
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
