#pragma once
// The hidden service mode: entered by a key sequence in the About box, it turns the
// BIOS image refusals into questions. Both values are process-wide and belong to the
// GUI thread; the program starts with them cleared.

namespace veltrix::platform {

// Progress through the About box's key sequence (0, 4, 5 or 6).
inline int serviceKeyState = 0;
inline bool serviceMode = false;

inline void ResetServiceMode() {
    serviceKeyState = 0;
    serviceMode = false;
}

}  // namespace veltrix::platform
