#include "gui/platform/menu_template.h"

#include <utility>

namespace veltrix::platform {

MenuItemTemplate MenuCommand(int id, const char* textId, bool checked, bool grayed) {
    MenuItemTemplate item;
    item.kind = MenuItemTemplate::Kind::Command;
    item.id = id;
    item.textId = textId;
    item.checked = checked;
    item.grayed = grayed;
    return item;
}

MenuItemTemplate MenuSeparator() {
    MenuItemTemplate item;
    item.kind = MenuItemTemplate::Kind::Separator;
    return item;
}

MenuItemTemplate MenuPopup(const char* textId, std::vector<MenuItemTemplate> items) {
    MenuItemTemplate item;
    item.kind = MenuItemTemplate::Kind::Popup;
    item.textId = textId;
    item.items = std::move(items);
    return item;
}

}  // namespace veltrix::platform
