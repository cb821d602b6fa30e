#include "gui/mainwindow/diagram_description.h"

#include <QStringList>

#include "gui/platform/language.h"
#include "model/controller.h"
#include "model/device.h"
#include "model/object_table.h"
#include "model/raid_set.h"

namespace veltrix {

namespace {

constexpr std::uint8_t kSetView = 8;

QString Tr(const char* en, const char* de) {
    return platform::LocalCaption(en, de);
}

// "Port 1 (model, state)" for the drive on port `n`, or "Port 1" when the table has none.
QString DriveText(const ObjectTable& table, int controller, std::size_t n) {
    for (int d = 0; d < ObjectTable::kMaxDevices; ++d) {
        const Device* device = table.GetDevice(controller, d);
        if (device != nullptr && device->Position() == n) {
            return Tr("Port %1 (%2, %3)", "Port %1 (%2, %3)")
                .arg(n)
                .arg(QString::fromStdString(device->ModelNumber()).trimmed(),
                     QString::fromStdString(device->PortStateText()));
        }
    }
    return Tr("Port %1", "Port %1").arg(n);
}

}  // namespace

QString DiagramDescription(const DiagramState& state, const ObjectTable& table, int controller,
                           const RaidSet* set) {
    const Controller* c = table.GetController(controller);
    if (c == nullptr || state.modelCode == 0) {
        return Tr("No controller shown", "Kein Controller dargestellt");
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
    QStringList sentences = {
        Tr("Controller %1", "Controller %1").arg(QString::fromStdString(c->Name()))};
    if (state.selectionKind == kSetView && set != nullptr) {
        sentences << Tr("RAID set: %1, %2", "RAID-Set: %1, %2")
                         .arg(QString::fromStdString(set->TypeText()),
                              QString::fromStdString(set->StatusText()));
        sentences << Tr("Members: %1", "Mitglieder: %1").arg(marked.join(QStringLiteral(", ")));
    } else if (!marked.isEmpty()) {
        sentences << Tr("Drive shown: %1", "Angezeigtes Laufwerk: %1")
                         .arg(marked.join(QStringLiteral(", ")));
    }
    if (!others.isEmpty()) {
        sentences << (anyMarked ? Tr("Other drives, pale: %1", "Weitere Laufwerke, blass: %1")
                                : Tr("Drives: %1", "Laufwerke: %1"))
                         .arg(others.join(QStringLiteral(", ")));
    }
    return sentences.join(QStringLiteral(". ")) + QLatin1Char('.');
}

}  // namespace veltrix
