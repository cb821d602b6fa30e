#include "gui/hostview/diagram_description.h"

#include <QStringList>

#include "model/controller.h"
#include "model/device.h"
#include "model/object_table.h"
#include "model/raid_set.h"

namespace veltrix {

namespace {

constexpr std::uint8_t kSetView = 8;

// "Port 1 (model, state)" for the drive on port `n`, or "Port 1" when the table has none.
QString DriveText(const ObjectTable& table, int controller, std::size_t n) {
    for (int d = 0; d < ObjectTable::kMaxDevices; ++d) {
        const Device* device = table.GetDevice(controller, d);
        if (device != nullptr && device->Position() == n) {
            return
                //% "Port %1 (%2, %3)"
                qtTrId("picture.port-1-2-3")
                    .arg(n)
                    .arg(QString::fromStdString(device->ModelNumber()).trimmed(),
                         QString::fromStdString(device->PortStateText()));
        }
    }
    return
        //% "Port %1"
        qtTrId("picture.port-1").arg(n);
}

}  // namespace

QString DiagramDescription(const DiagramState& state, const ObjectTable& table, int controller,
                           const RaidSet* set) {
    const Controller* c = table.GetController(controller);
    if (c == nullptr || state.modelCode == 0) {
        return
            //% "No controller shown"
            qtTrId("picture.no-controller-shown");
    }
    QStringList marked;
    QStringList others;
    bool anyMarked = false;
    for (std::size_t n = 0; n < state.portsA.size(); ++n) {
        anyMarked = anyMarked || state.portsB[n] != 0;
        const bool present = state.portsA[n] == 1;
        if (state.portsB[n] == 1) {
            marked << DriveText(table, controller, n);
        } else if (present) {
            others << DriveText(table, controller, n);
        }
    }
    QStringList sentences = {//% "Controller %1"
                             qtTrId("picture.controller-1").arg(QString::fromStdString(c->Name()))};
    if (state.selectionKind == kSetView && set != nullptr) {
        //% "RAID set: %1, %2"
        sentences << qtTrId("picture.raid-set-1-2")
                         .arg(QString::fromStdString(set->TypeText()),
                              QString::fromStdString(set->StatusText()));
        //% "Members: %1"
        sentences << qtTrId("picture.members-1").arg(marked.join(QStringLiteral(", ")));
    } else if (!marked.isEmpty()) {
        //% "Drive shown: %1"
        sentences << qtTrId("picture.drive-shown-1").arg(marked.join(QStringLiteral(", ")));
    }
    if (!others.isEmpty()) {
        sentences << (anyMarked ?
                                //% "Other drives, pale: %1"
                          qtTrId("picture.other-drives-pale-1")
                                :
                                //% "Drives: %1"
                          qtTrId("picture.drives-1"))
                         .arg(others.join(QStringLiteral(", ")));
    }
    return sentences.join(QStringLiteral(". ")) + QLatin1Char('.');
}

}  // namespace veltrix
