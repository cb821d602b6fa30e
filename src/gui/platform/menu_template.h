#pragma once
// Menu templates: the plain description of a menu bar or a popup menu. Each text is a
// message id of the translations, read (qtTrId) when the menu is built. Texts use '&'
// before the mnemonic letter; "&&" is a literal '&'.

#include <vector>

namespace veltrix::platform {

struct MenuItemTemplate {
    enum class Kind { Command, Separator, Popup };

    Kind kind = Kind::Command;
    int id = 0;                           // command id; 0 for separators and popups
    const char* textId = nullptr;         // message id; nullptr for separators
    bool checked = false;                 // command: starts with a check mark
    bool grayed = false;                  // command: starts greyed (cannot be chosen)
    std::vector<MenuItemTemplate> items;  // popup: its items
};

struct MenuTemplate {
    int id = 0;
    std::vector<MenuItemTemplate> items;  // top level: popups (menu bar) or items (popup menu)
};

// Shorthands for writing templates.
MenuItemTemplate MenuCommand(int id, const char* textId, bool checked = false, bool grayed = false);
MenuItemTemplate MenuSeparator();
MenuItemTemplate MenuPopup(const char* textId, std::vector<MenuItemTemplate> items);

}  // namespace veltrix::platform
