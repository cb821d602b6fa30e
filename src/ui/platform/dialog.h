#pragma once
// A dialog window built from a DialogTemplate, with its controls addressed by id.
//
// Notifications arrive at virtual handlers: OnCommand for buttons and menu items,
// OnSelChange for selections the user makes in list boxes, combo boxes and tab
// controls (never for the program's own), OnScroll for trackbar moves by the user,
// OnTimer for window timers, OnKey for keys before any control sees them. The
// User...() functions act as the user would, for tests and scripted runs.

#include <QDialog>
#include <QPointer>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "session/time_source.h"
#include "ui/platform/dialog_template.h"
#include "ui/platform/menu_template.h"

class QButtonGroup;
class QImage;
class QVBoxLayout;

namespace veltrix::platform {

class Menu;
}  // namespace veltrix::platform
namespace veltrix {
class WindowTimers;
}  // namespace veltrix
namespace veltrix::platform {

class Dialog : public QDialog {
    Q_OBJECT

  public:
    // Builds the window and all controls in the program's language. Timers run on
    // `time` (which must outlive the dialog), or on real time when it is null.
    explicit Dialog(const DialogTemplate& dialogTemplate, QWidget* parent = nullptr,
                    TimeSource* time = nullptr);
    ~Dialog() override;

    int TemplateId() const { return templateId_; }
    // The widget holding the controls; control positions are relative to it.
    QWidget* ClientArea() const { return client_; }

    // Runs OnInitDialog once; done by itself before the window is first shown.
    void Initialize();
    // Ends a modal run (or hides a modeless window) with `result`.
    void EndDialog(int result);

    // Controls by id: nullptr for an unknown id.
    QWidget* item(int id) const;
    ControlKind ItemKind(int id) const;

    void SetItemText(int id, const std::string& text);
    std::string ItemText(int id) const;
    // The control's own visibility flag, valid while the window itself is hidden.
    void ShowItem(int id, bool show);
    bool IsItemShown(int id) const;
    // The control's own enabled flag.
    void EnableItem(int id, bool enable);
    bool IsItemEnabled(int id) const;
    void SetFocusItem(int id);

    // Check boxes and radio buttons.
    void SetCheck(int id, bool checked);
    bool GetCheck(int id) const;

    // List boxes and combo boxes: rows keep their exact text, tabs included.
    int AddRow(int id, const std::string& text);
    int InsertRow(int id, int index, const std::string& text);
    // Returns the rows left, or -1 for a row that does not exist.
    int DeleteRow(int id, int index);
    void ClearRows(int id);
    std::vector<std::string> Rows(int id) const;
    std::string Row(int id, int index) const;
    int RowCount(int id) const;
    // Selects a row (-1: none) without notifying OnSelChange.
    void SetSelectedRow(int id, int row);
    int SelectedRow(int id) const;

    // Tab controls. Changing tabs by program never notifies OnSelChange.
    int InsertTab(int id, int index, const std::string& text);
    bool DeleteTab(int id, int index);
    void DeleteAllTabs(int id);
    bool SetTabText(int id, int index, const std::string& text);
    std::string TabText(int id, int index) const;
    int TabCount(int id) const;
    int SelectedTab(int id) const;
    void SelectTab(int id, int index);

    // Trackbars and progress bars. Changes by program never notify OnScroll.
    void SetRange(int id, int min, int max);
    void SetTickFrequency(int id, int frequency);
    void SetPos(int id, int pos);
    int Pos(int id) const;

    // Picture controls.
    void SetPicture(int id, const QImage& image);

    // Menu bar from a template (replaces an earlier one).
    void SetMenu(const MenuTemplate& menu);
    Menu* GetMenu() const { return menu_.get(); }
    void CheckMenuItem(int id, bool checked);
    bool IsMenuItemChecked(int id) const;
    void EnableMenuItem(int id, bool enabled);
    bool IsMenuItemEnabled(int id) const;

    // Window timers: SetTimer re-arms a timer of the same id.
    void SetTimer(int id, int ms);
    bool KillTimer(int id);
    bool IsTimerSet(int id) const;

    // What the user can do. Each returns false (and notifies nothing) when the
    // control is missing, of another kind, hidden-by-greying or disabled.
    bool ClickItem(int id);
    bool UserSelectRow(int id, int row);
    bool UserSelectTab(int id, int index);
    bool UserMoveTrackbar(int id, int pos);
    bool UserChoose(int menuItemId);
    // A key press sent to control `id` (or to the focused control / the dialog for 0),
    // passing the key filter first as a real key does.
    void UserPressKey(int key, int id = 0);

  protected:
    virtual void OnInitDialog() {}
    // Buttons and menu items; the default ends the dialog for IDOK and IDCANCEL.
    virtual void OnCommand(int id);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    virtual void OnSelChange(int /*id*/) {}
    virtual void OnScroll(int /*id*/) {}
    virtual void OnTimer(int /*id*/) {}
    // Keys (Qt::Key values) before the focused control gets them; true consumes the key.
    virtual bool OnKey(int /*key*/) { return false; }
    // The window's close button; the default acts as Cancel.
    virtual void OnClose() { OnCommand(IDCANCEL); }

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  public:
    // Esc and Return without a default button reach the handlers as commands.
    void accept() override;
    void reject() override;

  private:
    struct Item {
        ControlTemplate control;
        QWidget* widget = nullptr;
    };

    const Item* Find(int id) const;
    template <typename W>
    W* Widget(int id, ControlKind kind) const;
    template <typename W>
    W* Widget(int id, ControlKind kind1, ControlKind kind2) const;
    void AddControl(const ControlTemplate& control, Language language);
    void Connect(const ControlTemplate& control, QWidget* widget);
    static bool Usable(const QWidget* widget);

    int templateId_;
    QVBoxLayout* layout_;
    QWidget* client_;
    std::vector<Item> items_;
    std::map<int, std::size_t> byId_;
    QButtonGroup* radioGroup_ = nullptr;
    std::unique_ptr<TimeSource> ownTime_;
    std::unique_ptr<WindowTimers> timers_;
    std::unique_ptr<Menu> menu_;
    struct SeenKey {
        const QEvent* event = nullptr;
        quint64 timestamp = 0;
        QPointer<QWidget> receiver;
    };
    SeenKey lastKey_;
    bool initialized_ = false;
    bool ending_ = false;
};

}  // namespace veltrix::platform
