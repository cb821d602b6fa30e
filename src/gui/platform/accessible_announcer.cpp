#include "gui/platform/accessible_announcer.h"

#include <QWidget>

namespace veltrix::platform {

void Announce(QWidget* source, const QString& text) {
    if (source != nullptr && source->accessibleDescription() != text) {
        // Qt sends the description-changed event itself.
        source->setAccessibleDescription(text);
    }
}

}  // namespace veltrix::platform
