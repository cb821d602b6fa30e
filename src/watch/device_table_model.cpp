#include "watch/device_table_model.h"

#include "watch/port_order.h"

namespace veltrix {

DeviceTableModel::DeviceTableModel(QObject* parent)
    : KeyedTableModel(
          {//% "Port"
           qtTrId("main.port"),
           //% "Model name"
           qtTrId("main.model-name"),
           //% "Capacity"
           qtTrId("main.capacity"),
           //% "Status"
           qtTrId("main.status")},
          parent) {}

int DeviceTableModel::Refresh(const ObjectTable& table, int controller, int selectedRow) {
    std::vector<TableRow> rows;
    const Controller* c = table.GetController(controller);
    if (c != nullptr && c->DeviceCount() != 0) {
        ForEachPort(*c, c->DeviceCount(), [&](int position) {
            for (int d = 0; d < ObjectTable::kMaxDevices; ++d) {
                const Device* device = table.GetDevice(controller, d);
                if (device == nullptr || device->Position() != position) {
                    continue;
                }
                rows.push_back({.key = position,
                                .objectIndex = d,
                                .cells = {QString::number(position),
                                          QString::fromStdString(device->ModelNumber()),
                                          QString::fromStdString(device->CapacityText()),
                                          QString::fromStdString(device->PortStateText())}});
                return true;
            }
            return false;
        });
    }
    return Replace(std::move(rows), selectedRow);
}

}  // namespace veltrix
