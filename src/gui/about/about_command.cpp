#include "gui/about/about_command.h"

#include "gui/about/about_dialog.h"
#include "gui/platform/dialog_ui.h"
#include "gui/platform/service_mode.h"

namespace veltrix {

void RunAboutCommand(platform::DialogUi& ui, const ProductVersion& clientVersion,
                     const AboutServiceVersion& service, QWidget* window) {
    AboutDialog box(ui, window);
    box.SetVersionTexts(ProductVersionText(clientVersion),
                        ServiceVersionText(service.connected, service.config, service.version));
    platform::serviceKeyState = 4;
    ui.RunModal(box);
    platform::serviceKeyState = 0;
}

}  // namespace veltrix
