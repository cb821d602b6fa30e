#pragma once
// The menu's About box: the program's own version and the service's, as the window
// knows them.

#include "model/file_version_info.h"
#include "protocol/protocol.h"

class QWidget;

namespace veltrix {

namespace platform {
class DialogUi;
}

// What the About box shows of the service: nothing known without a connection.
struct AboutServiceVersion {
    bool connected = false;
    ServiceConfig config;
    int version = 0;
};

// Shows the About box modally over `window`.
void RunAboutCommand(platform::DialogUi& ui, const ProductVersion& clientVersion,
                     const AboutServiceVersion& service, QWidget* window);

}  // namespace veltrix
