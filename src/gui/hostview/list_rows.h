#pragma once
// Row selection of the window's lists by row number, as the selection state keeps it.

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QSignalBlocker>

namespace veltrix {

// The selected row, -1 for none. The window's lists select single whole rows, so the
// selection is one range at most; reading it is cheaper than listing every selected
// cell: this runs for both lists in every poll cycle.
inline int SelectedRowOf(const QAbstractItemView* list) {
    const QItemSelection selection = list->selectionModel()->selection();
    return selection.isEmpty() ? -1 : selection.first().top();
}

// Whether the list's selection is exactly `row` (nothing, for -1). Only SelectRow
// selects from code (clearing first), so at most one row is ever selected.
inline bool SelectionIsOnly(const QAbstractItemView* list, int row) {
    const QItemSelectionModel* selection = list->selectionModel();
    return row >= 0 ? selection->isSelected(list->model()->index(row, 0))
                    : !selection->hasSelection();
}

// Selects `row` (-1 or a row the list lacks: none) without notifying the window.
inline void SelectRow(QAbstractItemView* list, int row) {
    const QModelIndex index = list->model()->index(row, 0);
    const int shown = index.isValid() ? row : -1;
    // Every poll cycle selects the rows again; a row that already is the one selected
    // and current is left alone rather than cleared, repainted and selected anew.
    if (list->currentIndex() == index && SelectionIsOnly(list, shown)) {
        return;
    }
    const QSignalBlocker blocker(list);
    list->clearSelection();
    list->setCurrentIndex(index);
    if (index.isValid()) {
        list->selectionModel()->select(index,
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

}  // namespace veltrix
