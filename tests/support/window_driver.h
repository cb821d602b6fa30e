#pragma once
// Drives a Qt window the way its user would, addressing controls and menu actions by
// the resource id they carry as object name (see ui/platform/control_id.h).
//
// Clicks, row and tab selections and keys go through QTest as mouse and key events
// sent straight to the control, so they work while the window is hidden and the
// control's own handling (selection, signals) runs as for a real click. Every method
// whose control is missing, of another type, or whose id more than one control
// carries fails the current test with that id: a wrong id is a bug of the test.

#include <gtest/gtest.h>

#include <QAction>
#include <QWidget>
#include <string>
#include <type_traits>
#include <vector>

namespace veltrix::testing {

class WindowDriver {
  public:
    explicit WindowDriver(QWidget& window) : window_(window) {}

    QWidget& Window() const { return window_; }

    // The control (or menu action, for T derived from QAction) with id `id`, of type T.
    template <typename T>
    T* Control(int id) const {
        QObject* found = Find(id, std::is_base_of_v<QAction, T>);
        T* control = qobject_cast<T*>(found);
        if (found != nullptr && control == nullptr) {
            ADD_FAILURE() << "control " << id << " is a " << found->metaObject()->className()
                          << ", not a " << T::staticMetaObject.className();
        }
        return control;
    }

    // Text of a label, edit, button, check box, radio button, group box (its title) or
    // combo box (its current text); empty for a list, whose text is in its rows.
    std::string ItemText(int id) const;
    // The control's own visibility flag, valid while the window itself is hidden.
    bool IsItemShown(int id) const;
    // The control's own enabled flag: a disabled window or group leaves it true.
    bool IsItemEnabled(int id) const;

    // What the user can do. Each returns false and sends nothing when the control
    // cannot take the user's action: hidden (itself or a parent below the window) or
    // disabled (itself or a parent).

    // A left click on a button, check box or radio button.
    bool ClickItem(int id);

    // Lists: item views (QTreeWidget, QListWidget, any QAbstractItemView) and combo
    // boxes. A row of an item view is its columns' texts joined by '\t'.
    std::vector<std::string> Rows(int id) const;
    // Empty for a row that does not exist.
    std::string Row(int id, int index) const;
    int RowCount(int id) const;
    // The selected row, -1 for none.
    int SelectedRow(int id) const;
    // A left click on row `row` (scrolled into view first), or for -1 on the empty
    // space below the last row, which leaves a single-selection view's selection as it
    // is; false for a row that does not exist. A combo box gets the choice of `row`
    // from its popup (-1 is false there).
    bool UserSelectRow(int id, int row);

    // Tab bars.
    std::string TabText(int id, int index) const;
    int TabCount(int id) const;
    int SelectedTab(int id) const;
    // A left click on tab `index`; false for a tab that does not exist, is disabled or
    // hidden.
    bool UserSelectTab(int id, int index);

    // Sliders and progress bars.
    int Pos(int id) const;
    // A drag of the slider's handle ending at `pos` (bounded to the range):
    // sliderPressed, sliderMoved, valueChanged when the value changes, sliderReleased.
    bool UserMoveTrackbar(int id, int pos);

    // Menu actions. UserChoose triggers the action (toggling a checkable one, as a
    // real choice does); false when it is disabled or invisible.
    bool UserChoose(int menuItemId);
    bool IsMenuItemChecked(int id) const;
    bool IsMenuItemEnabled(int id) const;

    // A press and release of `key` (a Qt::Key) sent to control `id`, or for 0 to the
    // window's focus widget (the window itself when none has focus).
    void UserPressKey(int key, int id = 0);

  private:
    // The one widget (or action) below the window named `id`; fails the test for none
    // or several.
    QObject* Find(int id, bool action) const;
    // Found and of a list kind; fails the test otherwise.
    QWidget* List(int id) const;
    // Whether the user can reach and operate the control now.
    bool Usable(const QWidget* control) const;

    QWidget& window_;
};

}  // namespace veltrix::testing
