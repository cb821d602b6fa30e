#pragma once
// The menu's popup settings: the client's own, no connection needed. They are stored
// with the other settings on the Exit path.

class QWidget;

namespace veltrix {

struct ClientSettings;

namespace platform {
class DialogUi;
}

// Lets the user edit the popup settings of `settings` in a modal dialog over `window`.
void RunPopupSettingsCommand(platform::DialogUi& ui, ClientSettings& settings, QWidget* window);

}  // namespace veltrix
