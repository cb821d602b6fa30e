#pragma once
// The controller picture in words, for a screen reader: what the picture of a record
// shows, with the names and states the lists give the drives and sets it draws.

#include <QString>

#include "gui/diagram/diagram_state.h"

namespace veltrix {

class ObjectTable;
class RaidSet;

// The controller's name; the drive shown, or the selected set's type and state with
// its members; the other drives, pale while something else is selected. `set` is the
// selected set for a set record (may be null otherwise).
QString DiagramDescription(const DiagramState& state, const ObjectTable& table, int controller,
                           const RaidSet* set);

}  // namespace veltrix
