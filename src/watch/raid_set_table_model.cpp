#include "watch/raid_set_table_model.h"

#include "model/status_texts.h"
#include "watch/port_order.h"

namespace veltrix {

RaidSetTableModel::RaidSetTableModel(QObject* parent)
    : KeyedTableModel(
          {//% "Set"
           qtTrId("main.set"),
           //% "Type"
           qtTrId("main.type"),
           //% "Chunksize"
           qtTrId("main.chunksize"),
           //% "Members"
           qtTrId("main.members"),
           //% "Capacity"
           qtTrId("main.capacity"),
           //% "Status"
           qtTrId("main.status")},
          parent) {}

int RaidSetTableModel::Refresh(const ObjectTable& table, int controller, int selectedRow) {
    std::vector<TableRow> rows;
    const auto text = [](const std::string& s) { return QString::fromStdString(s); };
    if (const Controller* c = table.GetController(controller)) {
        ForEachPort(*c, c->RaidSetCount(), [&](int port) {
            for (int s = 0; s < ObjectTable::kMaxRaidSets; ++s) {
                const RaidSet* set = table.GetRaidSet(controller, s);
                if (set == nullptr || set->Port() != port) {
                    continue;
                }
                if (set->IsRaid()) {
                    rows.push_back(
                        {.key = port,
                         .objectIndex = s,
                         .cells = {QString::number(set->DeviceNumber()), text(set->TypeText()),
                                   text(ChunkSizeListText(set->ChunkSize())),
                                   text(set->MembersText()), text(set->CapacityText()),
                                   text(set->StatusText())}});
                }
                return true;  // a single drive counts, though it is not listed
            }
            return false;
        });
    }
    return Replace(std::move(rows), selectedRow);
}

}  // namespace veltrix
