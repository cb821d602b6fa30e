#include "gui/platform/menu_template.h"

#include <utility>

namespace veltrix::platform {

MenuItemTemplate MenuCommand(int id, std::string en, std::string de, bool checked, bool grayed) {
    MenuItemTemplate item;
    item.kind = MenuItemTemplate::Kind::Command;
    item.id = id;
    item.textEn = std::move(en);
    item.textDe = std::move(de);
    item.checked = checked;
    item.grayed = grayed;
    return item;
}

MenuItemTemplate MenuSeparator() {
    MenuItemTemplate item;
    item.kind = MenuItemTemplate::Kind::Separator;
    return item;
}

MenuItemTemplate MenuPopup(std::string en, std::string de, std::vector<MenuItemTemplate> items) {
    MenuItemTemplate item;
    item.kind = MenuItemTemplate::Kind::Popup;
    item.textEn = std::move(en);
    item.textDe = std::move(de);
    item.items = std::move(items);
    return item;
}

}  // namespace veltrix::platform
