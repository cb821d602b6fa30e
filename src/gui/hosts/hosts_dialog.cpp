#include "gui/hosts/hosts_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "gui/platform/control_id.h"
#include "gui/platform/dialog_parts.h"
#include "gui/platform/dialog_ui.h"
#include "protocol/transport.h"

namespace veltrix {

namespace {

template <typename W>
W* WithId(W* widget, int id) {
    platform::SetControlId(widget, id);
    return widget;
}

QPushButton* Button(QWidget* parent, int id, const QString& text) {
    auto* button = WithId(new QPushButton(text, parent), id);
    button->setAutoDefault(false);
    return button;
}

// The row of the later host of the first pair whose `key` is the same; -1 for none.
template <typename Key>
int SecondOfPair(const std::vector<HostEntry>& hosts, Key key) {
    for (std::size_t later = 1; later < hosts.size(); ++later) {
        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            if (key(hosts[earlier]) == key(hosts[later])) {
                return static_cast<int>(later);
            }
        }
    }
    return -1;
}

}  // namespace

bool IsHostAddress(const std::string& address) {
    if (address == ".") {
        return true;
    }
    // A blank or a path separator would end up in the pipe's name "\\host\PIPE\name".
    const bool plain = std::none_of(address.begin(), address.end(), [](char c) {
        return c == '\\' || c == '/' || static_cast<unsigned char>(c) <= ' ';
    });
    return plain && transport::SplitHostPort(address).has_value();
}

HostsDialog::HostsDialog(std::vector<HostEntry> hosts, platform::DialogUi& ui, QWidget* parent)
    : QDialog(parent), hosts_(std::move(hosts)), ui_(ui) {
    if (hosts_.empty()) {
        hosts_.emplace_back();
    }
    platform::SetControlId(this, kDialogId);
    setWindowTitle(
        //% "Hosts"
        qtTrId("hosts.title"));
    list_ = WithId(new QListWidget(this), kHostList);
    name_ = WithId(new QLineEdit(this), kNameEdit);
    address_ = WithId(new QLineEdit(this), kAddressEdit);
    password_ = WithId(new QLineEdit(this), kPasswordEdit);
    password_->setEchoMode(QLineEdit::Password);
    autoConnect_ = WithId(new QCheckBox(
                              //% "Connect automatically"
                              qtTrId("hosts.connect-automatically"), this),
                          kAutoConnectCheck);
    add_ = Button(this, kAddButton,
                  //% "&Add"
                  qtTrId("hosts.add"));
    remove_ = Button(this, kRemoveButton,
                     //% "&Remove"
                     qtTrId("hosts.remove"));
    up_ = Button(this, kUpButton,
                 //% "&Up"
                 qtTrId("hosts.up"));
    down_ = Button(this, kDownButton,
                   //% "&Down"
                   qtTrId("hosts.down"));
    LayOutControls();
    ConnectControls();
    for (const HostEntry& host : hosts_) {
        list_->addItem(ListText(host));
    }
    list_->setCurrentRow(0);
}

// The list with its buttons beside it, the chosen host's fields below, OK and Cancel.
void HostsDialog::LayOutControls() {
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {add_, remove_, up_, down_}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    auto* upper = new QHBoxLayout;
    upper->addWidget(list_, 1);
    upper->addLayout(buttons);

    auto* fields = new QFormLayout;
    fields->addRow(
        //% "Name:"
        qtTrId("hosts.name"), name_);
    fields->addRow(
        //% "Address:"
        qtTrId("hosts.address"), address_);
    fields->addRow(
        //% "Password:"
        qtTrId("hosts.password"), password_);
    fields->addRow(autoConnect_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(upper);
    layout->addLayout(fields);
    const platform::OkCancelRow row = platform::MakeOkCancelRow(*this);
    layout->addWidget(row.box);
    setTabOrder(list_, add_);
    setTabOrder(add_, remove_);
    setTabOrder(remove_, up_);
    setTabOrder(up_, down_);
    setTabOrder(down_, name_);
    setTabOrder(name_, address_);
    setTabOrder(address_, password_);
    setTabOrder(password_, autoConnect_);
    setTabOrder(autoConnect_, row.ok);
    setTabOrder(row.ok, row.cancel);
}

void HostsDialog::ConnectControls() {
    connect(list_, &QListWidget::currentRowChanged, this, &HostsDialog::OnRowChanged);
    connect(add_, &QPushButton::clicked, this, &HostsDialog::OnAdd);
    connect(remove_, &QPushButton::clicked, this, &HostsDialog::OnRemove);
    connect(up_, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { Move(1); });
    // Each field edits the chosen host at once; the list shows its name.
    const auto edit = [this](auto change) {
        const int row = list_->currentRow();
        if (filling_ || row < 0) {
            return;
        }
        change(hosts_[static_cast<std::size_t>(row)]);
        list_->item(row)->setText(ListText(hosts_[static_cast<std::size_t>(row)]));
    };
    connect(name_, &QLineEdit::textChanged, this,
            [edit](const QString& text) { edit([&text](HostEntry& host) { host.name = text; }); });
    connect(address_, &QLineEdit::textChanged, this, [edit](const QString& text) {
        edit([&text](HostEntry& host) { host.address = text.trimmed().toStdString(); });
    });
    connect(password_, &QLineEdit::textChanged, this, [edit](const QString& text) {
        edit([&text](HostEntry& host) { host.password = text.toStdString(); });
    });
    connect(autoConnect_, &QCheckBox::toggled, this,
            [edit](bool on) { edit([on](HostEntry& host) { host.autoConnect = on; }); });
}

QString HostsDialog::ListText(const HostEntry& host) const {
    const QString name = host.name.trimmed();
    return name.isEmpty() ? QString::fromStdString(host.address) : name;
}

void HostsDialog::OnRowChanged(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= hosts_.size()) {
        return;
    }
    const HostEntry& host = hosts_[static_cast<std::size_t>(row)];
    filling_ = true;
    name_->setText(host.name);
    address_->setText(QString::fromStdString(host.address));
    password_->setText(QString::fromStdString(host.password));
    autoConnect_->setChecked(host.autoConnect);
    filling_ = false;
    UpdateButtons();
}

void HostsDialog::UpdateButtons() {
    const int row = list_->currentRow();
    const int last = static_cast<int>(hosts_.size()) - 1;
    // The window watches one host at least.
    remove_->setEnabled(last > 0);
    up_->setEnabled(row > 0);
    down_->setEnabled(row >= 0 && row < last);
}

// A new host on this computer at the end, its name to be typed.
void HostsDialog::OnAdd() {
    hosts_.emplace_back();
    list_->addItem(ListText(hosts_.back()));
    list_->setCurrentRow(static_cast<int>(hosts_.size()) - 1);
    name_->setFocus(Qt::OtherFocusReason);
}

void HostsDialog::OnRemove() {
    const int row = list_->currentRow();
    if (row < 0 || hosts_.size() < 2) {
        return;
    }
    hosts_.erase(hosts_.begin() + row);
    delete list_->takeItem(row);
    list_->setCurrentRow(std::min(row, static_cast<int>(hosts_.size()) - 1));
    UpdateButtons();
}

void HostsDialog::Move(int by) {
    const int row = list_->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= static_cast<int>(hosts_.size())) {
        return;
    }
    std::swap(hosts_[static_cast<std::size_t>(row)], hosts_[static_cast<std::size_t>(to)]);
    list_->item(row)->setText(ListText(hosts_[static_cast<std::size_t>(row)]));
    list_->item(to)->setText(ListText(hosts_[static_cast<std::size_t>(to)]));
    list_->setCurrentRow(to);
}

QString HostsDialog::Refusal(int& row, QWidget*& field) const {
    for (std::size_t i = 0; i < hosts_.size(); ++i) {
        row = static_cast<int>(i);
        if (hosts_[i].name.trimmed().isEmpty()) {
            field = name_;
            //% "Each host needs a name."
            return qtTrId("hosts.name-missing");
        }
        if (!IsHostAddress(hosts_[i].address)) {
            field = address_;
            //% "\"%1\" is not a host address. Enter \".\" for this computer, a host name or "
            //% "address, or name:port with a port from 1 to 65535."
            return qtTrId("hosts.address-invalid").arg(QString::fromStdString(hosts_[i].address));
        }
    }
    row = SecondOfPair(hosts_, [](const HostEntry& h) { return h.name.trimmed().toCaseFolded(); });
    if (row >= 0) {
        field = name_;
        //% "Two hosts are called \"%1\": each host needs a name of its own."
        return qtTrId("hosts.name-twice").arg(hosts_[static_cast<std::size_t>(row)].name.trimmed());
    }
    row = SecondOfPair(hosts_, [](const HostEntry& h) { return h.address; });
    if (row >= 0) {
        field = address_;
        //% "Two hosts have the address \"%1\": each host is watched once."
        return qtTrId("hosts.address-twice")
            .arg(QString::fromStdString(hosts_[static_cast<std::size_t>(row)].address));
    }
    return {};
}

void HostsDialog::accept() {
    int row = -1;
    QWidget* field = nullptr;
    if (const QString why = Refusal(row, field); !why.isEmpty()) {
        list_->setCurrentRow(row);
        ui_.ShowMessage(why.toStdString());
        field->setFocus(Qt::OtherFocusReason);
        return;
    }
    for (HostEntry& host : hosts_) {
        host.name = host.name.trimmed();
    }
    QDialog::accept();
}

}  // namespace veltrix
