#pragma once
// What the controller picture shows: the record the main window hands to the diagram
// view, the selection its callers build, and the table that maps a controller's name
// to the model code that picks the picture's layout.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace veltrix {

class Controller;

// Selection kinds: 1 ports A, 2 drive (ports B), 3 both, 4 connect state, 8 RAID set.
enum class SelectionKind : std::uint8_t { PortsA = 1, Drive = 2, Both = 3, Connect = 4, Set = 8 };

struct DiagramSelection {
    std::array<std::uint16_t, 4> portsA{};
    std::array<std::uint16_t, 4> portsB{};
    std::uint8_t raidType = 0;
    std::uint8_t port = 0;
    SelectionKind kind = SelectionKind::Drive;

    bool operator==(const DiagramSelection&) const = default;
};

struct DiagramState {
    std::uint32_t modelCode = 0;
    std::array<std::uint16_t, 4> portsA{};
    std::array<std::uint16_t, 4> portsB{};
    std::uint8_t raidType = 0;
    std::uint8_t port = 0;
    std::uint8_t selectionKind = 0;

    bool operator==(const DiagramState&) const = default;
};

// The model code of the last model name that `controllerName` begins with; 0 for none.
std::uint32_t ModelCodeFor(std::string_view controllerName);

// The record for the current controller (nullptr when there is none) and a selection.
// Kind 4 takes nothing from the controller; without a selection every word B and the
// set bytes are 0.
DiagramState MakeDiagramState(const Controller* current,
                              const std::optional<DiagramSelection>& selection);

// Receives the record whenever the picture is to be redrawn.
class DiagramView {
  public:
    virtual ~DiagramView() = default;
    virtual void Draw(const DiagramState& state) = 0;
};

}  // namespace veltrix
