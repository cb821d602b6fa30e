#pragma once
// The RAID set list of one controller: a row per RAID set in port order (single
// drives are left out), with its number, type, chunk size, members, capacity and
// state as the window shows them. A row's key is the set's port.

#include "model/object_table.h"
#include "watch/keyed_table_model.h"

namespace veltrix {

class RaidSetTableModel : public KeyedTableModel {
  public:
    explicit RaidSetTableModel(QObject* parent = nullptr);

    // The RAID sets of `controller` in `table`; returns the row to select after
    // `selectedRow` (see KeyedTableModel::Replace).
    int Refresh(const ObjectTable& table, int controller, int selectedRow = -1);
};

}  // namespace veltrix
