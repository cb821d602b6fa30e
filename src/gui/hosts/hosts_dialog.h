#pragma once
// Dialog 190 "Hosts": the hosts the window watches, in their order, with a name, an
// address, a password and Autoconnect each. The list and its buttons add, remove and
// order them; the fields below edit the host chosen in the list. OK refuses a list
// with a host without a name, two hosts of the same name or address, or an address
// the window cannot reach, and says which; the dialog only edits, its command keeps.

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "watch/host_entry.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace veltrix {

namespace platform {
class DialogUi;
}

// "." (this computer), or a host name or address with an optional port from 1 to
// 65535 ("name:port", "[IPv6 address]:port"), without blanks or path separators.
bool IsHostAddress(const std::string& address);

class HostsDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kDialogId = 190;
    static constexpr int kHostList = 1300;
    static constexpr int kNameEdit = 1301;
    static constexpr int kAddressEdit = 1302;
    static constexpr int kPasswordEdit = 1303;
    static constexpr int kAutoConnectCheck = 1304;
    static constexpr int kAddButton = 1305;
    static constexpr int kRemoveButton = 1306;
    static constexpr int kUpButton = 1307;
    static constexpr int kDownButton = 1308;

    // `hosts` (at least one) fill the list, the first chosen; `ui` shows the refusals.
    HostsDialog(std::vector<HostEntry> hosts, platform::DialogUi& ui, QWidget* parent = nullptr);

    // The hosts as the dialog shows them, in the list's order.
    const std::vector<HostEntry>& Hosts() const { return hosts_; }

    // OK: only with a list that can be kept.
    void accept() override;

  private:
    void LayOutControls();
    void ConnectControls();
    // Fills the fields from the host in `row` of the list.
    void OnRowChanged(int row);
    void OnAdd();
    void OnRemove();
    // Moves the chosen host `by` rows up (-1) or down (1).
    void Move(int by);
    void UpdateButtons();
    QString ListText(const HostEntry& host) const;
    // Why the list cannot be kept, with the row and the field to show; empty when it can.
    QString Refusal(int& row, QWidget*& field) const;

    std::vector<HostEntry> hosts_;
    platform::DialogUi& ui_;
    QListWidget* list_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* password_ = nullptr;
    QCheckBox* autoConnect_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
    bool filling_ = false;  // the fields are being filled from a host, not edited
};

}  // namespace veltrix
