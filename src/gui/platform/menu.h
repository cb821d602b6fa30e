#pragma once
// A menu bar or popup menu built from a MenuTemplate, with its commands by id.
//
// Check marks and greying are set by the program only: choosing a checked item does
// not clear its mark by itself (the command handler decides). Choosing an item that
// is not greyed calls the command handler with the item's id.

#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "gui/platform/menu_template.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace veltrix::platform {

class Menu {
  public:
    using CommandHandler = std::function<void(int id)>;

    // A menu bar for `parent` (which owns it): one top-level entry per popup item.
    static std::unique_ptr<Menu> CreateBar(const MenuTemplate& menu, QWidget* parent,
                                           CommandHandler onCommand);
    // A popup menu (owned by the returned object) with the template's items.
    static std::unique_ptr<Menu> CreatePopup(const MenuTemplate& menu, CommandHandler onCommand);

    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    int Id() const { return id_; }
    QMenuBar* Bar() const;
    QMenu* Popup() const;

    QAction* Action(int id) const;

    // False when the menu has no item `id`.
    bool CheckItem(int id, bool checked);
    bool IsItemChecked(int id) const;
    bool EnableItem(int id, bool enabled);
    bool IsItemEnabled(int id) const;
    // The user chooses item `id`; false (and no command) when it is missing or greyed.
    bool Choose(int id);

  private:
    Menu(int id, QWidget* root, bool owned, CommandHandler onCommand);
    void AddItems(QWidget* target, const std::vector<MenuItemTemplate>& items);
    void Triggered(int id);

    int id_;
    QPointer<QWidget> root_;
    bool owned_;
    CommandHandler onCommand_;
    std::map<int, QAction*> actions_;
};

}  // namespace veltrix::platform
