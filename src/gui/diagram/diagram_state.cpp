#include "gui/diagram/diagram_state.h"

#include <utility>

#include "model/controller.h"

namespace veltrix {

namespace {

// Model names in search order; the last one the controller's name begins with wins.
constexpr std::pair<std::string_view, std::uint32_t> kModelTable[] = {
    {"RX-Alder", 51}, {"RX-Birch", 41},      {"RX-Cedar", 21}, {"RX-Elm", 13}, {"RX-Fir", 12},
    {"RX-Hazel", 22}, {"RX-Larch/Lime", 31}, {"RX-Maple", 32}, {"RX-Oak", 33}, {"RX-Pine", 11},
};

bool TakesPortsA(SelectionKind kind) {
    return kind == SelectionKind::PortsA || kind == SelectionKind::Both;
}

bool TakesPortsB(SelectionKind kind) {
    return kind == SelectionKind::Drive || kind == SelectionKind::Both ||
           kind == SelectionKind::Set;
}

}  // namespace

std::uint32_t ModelCodeFor(std::string_view controllerName) {
    std::uint32_t code = 0;
    for (const auto& [name, modelCode] : kModelTable) {
        if (controllerName.substr(0, name.size()) == name) {
            code = modelCode;
        }
    }
    return code;
}

DiagramState MakeDiagramState(const Controller* current,
                              const std::optional<DiagramSelection>& selection) {
    DiagramState state;
    if (selection) {
        state.selectionKind = static_cast<std::uint8_t>(selection->kind);
        if (selection->kind == SelectionKind::Connect) {
            return state;
        }
    }
    if (current != nullptr) {
        state.modelCode = ModelCodeFor(current->Name());
    }
    if (selection && TakesPortsA(selection->kind)) {
        state.portsA = selection->portsA;
    } else if (current != nullptr) {
        const unsigned channels = current->ChannelCount();
        for (unsigned j = 0; j < channels && j < state.portsA.size(); ++j) {
            state.portsA[j] = static_cast<std::uint16_t>(current->ChannelPresence(j));
        }
    }
    if (selection && TakesPortsB(selection->kind)) {
        state.portsB = selection->portsB;
    }
    if (selection && selection->kind == SelectionKind::Set) {
        state.raidType = selection->raidType;
        state.port = selection->port;
    }
    return state;
}

}  // namespace veltrix
