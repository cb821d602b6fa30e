#include "gui/platform/accessible_announcer.h"

#include <QAccessible>
#include <QWidget>

namespace veltrix::platform {

void Announce(QWidget* source, const QString& text) {
    if (source == nullptr || source->accessibleDescription() == text) {
        return;
    }
    source->setAccessibleDescription(text);
    QAccessibleEvent event(source, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

}  // namespace veltrix::platform
