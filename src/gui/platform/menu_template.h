#pragma once
// Menu templates: the plain description of a menu bar or a popup menu, in both
// languages. Texts use '&' before the mnemonic letter; "&&" is a literal '&'.

#include <string>
#include <vector>

namespace veltrix::platform {

struct MenuItemTemplate {
    enum class Kind { Command, Separator, Popup };

    Kind kind = Kind::Command;
    int id = 0;  // command id; 0 for separators and popups
    std::string textEn;
    std::string textDe;
    bool checked = false;                 // command: starts with a check mark
    bool grayed = false;                  // command: starts greyed (cannot be chosen)
    std::vector<MenuItemTemplate> items;  // popup: its items
};

struct MenuTemplate {
    int id = 0;
    std::vector<MenuItemTemplate> items;  // top level: popups (menu bar) or items (popup menu)
};

// Shorthands for writing templates.
MenuItemTemplate MenuCommand(int id, std::string en, std::string de, bool checked = false,
                             bool grayed = false);
MenuItemTemplate MenuSeparator();
MenuItemTemplate MenuPopup(std::string en, std::string de, std::vector<MenuItemTemplate> items);

}  // namespace veltrix::platform
