#pragma once
// The drive list of one controller: a row per drive in port order, with its port,
// model name, capacity and state as the window shows them. A row's key is its port.

#include "model/object_table.h"
#include "watch/keyed_table_model.h"

namespace veltrix {

class DeviceTableModel : public KeyedTableModel {
  public:
    explicit DeviceTableModel(QObject* parent = nullptr);

    // The drives of `controller` in `table`; returns the row to select after
    // `selectedRow` (see KeyedTableModel::Replace).
    int Refresh(const ObjectTable& table, int controller, int selectedRow = -1);
};

}  // namespace veltrix
