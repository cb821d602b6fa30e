#include "gui/platform/menu.h"

#include "gui/platform/control_id.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>

namespace veltrix::platform {
namespace {

QString Text(const MenuItemTemplate& item) {
    return qtTrId(item.textId);
}

}  // namespace

std::unique_ptr<Menu> Menu::CreateBar(const MenuTemplate& menu, QWidget* parent,
                                      CommandHandler onCommand) {
    auto* bar = new QMenuBar(parent);
    std::unique_ptr<Menu> result(new Menu(menu.id, bar, false, std::move(onCommand)));
    result->AddItems(bar, menu.items);
    return result;
}

std::unique_ptr<Menu> Menu::CreatePopup(const MenuTemplate& menu, CommandHandler onCommand) {
    auto* popup = new QMenu();
    std::unique_ptr<Menu> result(new Menu(menu.id, popup, true, std::move(onCommand)));
    result->AddItems(popup, menu.items);
    return result;
}

Menu::Menu(int id, QWidget* root, bool owned, CommandHandler onCommand)
    : id_(id), root_(root), owned_(owned), onCommand_(std::move(onCommand)) {}

Menu::~Menu() {
    if (owned_) {
        delete root_.data();
    }
}

QMenuBar* Menu::Bar() const {
    return qobject_cast<QMenuBar*>(root_.data());
}

QMenu* Menu::Popup() const {
    return qobject_cast<QMenu*>(root_.data());
}

void Menu::AddItems(QWidget* target, const std::vector<MenuItemTemplate>& items) {
    auto* bar = qobject_cast<QMenuBar*>(target);
    auto* menu = qobject_cast<QMenu*>(target);
    for (const MenuItemTemplate& item : items) {
        switch (item.kind) {
            case MenuItemTemplate::Kind::Separator:
                if (menu != nullptr) {
                    menu->addSeparator();
                } else {
                    bar->addSeparator();
                }
                break;
            case MenuItemTemplate::Kind::Popup: {
                QMenu* sub = menu != nullptr ? menu->addMenu(Text(item)) : bar->addMenu(Text(item));
                AddItems(sub, item.items);
                break;
            }
            case MenuItemTemplate::Kind::Command: {
                auto* action = new QAction(Text(item), target);
                SetControlId(action, item.id);
                target->addAction(action);
                actions_[item.id] = action;
                const int id = item.id;
                QObject::connect(action, &QAction::triggered, action,
                                 [this, id] { Triggered(id); });
                CheckItem(id, item.checked);
                EnableItem(id, !item.grayed);
                break;
            }
        }
    }
}

QAction* Menu::Action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

bool Menu::CheckItem(int id, bool checked) {
    QAction* action = Action(id);
    if (action == nullptr) {
        return false;
    }
    // Only a checked item is checkable, so an unchecked one shows no empty box.
    const QSignalBlocker blocker(action);
    action->setCheckable(checked);
    action->setChecked(checked);
    return true;
}

bool Menu::IsItemChecked(int id) const {
    const QAction* action = Action(id);
    return action != nullptr && action->isChecked();
}

bool Menu::EnableItem(int id, bool enabled) {
    QAction* action = Action(id);
    if (action == nullptr) {
        return false;
    }
    action->setEnabled(enabled);
    return true;
}

bool Menu::IsItemEnabled(int id) const {
    const QAction* action = Action(id);
    return action != nullptr && action->isEnabled();
}

bool Menu::Choose(int id) {
    QAction* action = Action(id);
    if (action == nullptr || !action->isEnabled()) {
        return false;
    }
    action->trigger();
    return true;
}

void Menu::Triggered(int id) {
    QAction* action = Action(id);
    if (action != nullptr && action->isCheckable() && !action->isChecked()) {
        // Qt toggled the mark on the way here; the command decides about it.
        CheckItem(id, true);
    }
    if (onCommand_) {
        onCommand_(id);
    }
}

}  // namespace veltrix::platform
