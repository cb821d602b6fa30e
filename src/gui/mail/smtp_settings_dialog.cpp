#include "gui/mail/smtp_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <array>
#include <optional>

#include "gui/platform/control_id.h"
#include "gui/platform/dialog_parts.h"
#include "gui/platform/dialog_ui.h"

namespace veltrix {

namespace {

// The choices of the three lists, as message ids, in the order of their index.
// clang-format off
// Authentication methods.
constexpr std::array kAuthMethods = {
    //% "none"
    QT_TRID_NOOP("mail.auth-none"),
    //% "CRAM MD-5"
    QT_TRID_NOOP("mail.auth-cram-md5"),
    //% "Login"
    QT_TRID_NOOP("mail.auth-login"),
    //% "Plain"
    QT_TRID_NOOP("mail.auth-plain"),
    //% "NTLM"
    QT_TRID_NOOP("mail.auth-ntlm"),
    //% "Auto"
    QT_TRID_NOOP("mail.auth-auto"),
};
// Connection types.
constexpr std::array kConnectionTypes = {
    //% "Plain Text"
    QT_TRID_NOOP("mail.connection-plain-text"),
    //% "SSL, TLS or DTLS"
    QT_TRID_NOOP("mail.connection-ssl-tls-dtls"),
    //% "STARTTLS"
    QT_TRID_NOOP("mail.connection-starttls"),
    //% "Auto Upgrade to STARTTLS"
    QT_TRID_NOOP("mail.connection-auto-starttls"),
};
// SSL protocols.
constexpr std::array kProtocols = {
    //% "TLS v2/v3"
    QT_TRID_NOOP("mail.protocol-tls-v2-v3"),
    //% "TLS v 1.0"
    QT_TRID_NOOP("mail.protocol-tls-1-0"),
    //% "TLS v 1.1"
    QT_TRID_NOOP("mail.protocol-tls-1-1"),
    //% "TLS v 1.2"
    QT_TRID_NOOP("mail.protocol-tls-1-2"),
    //% "DTLS v 1.0"
    QT_TRID_NOOP("mail.protocol-dtls-1-0"),
};
// clang-format on

// The texts of `ids`, the first `count` of them (all for -1).
template <std::size_t N>
QStringList Choices(const std::array<const char*, N>& ids, qsizetype count = -1) {
    QStringList texts;
    for (const char* id : ids) {
        if (count >= 0 && texts.size() == count) {
            break;
        }
        texts << qtTrId(id);
    }
    return texts;
}

template <typename W>
W* WithId(W* widget, int id) {
    platform::SetControlId(widget, id);
    return widget;
}

// The port travels as 32 bits and is edited as a signed integer.
QString PortText(std::uint32_t port) {
    return QString::number(static_cast<std::int32_t>(port));
}

// The port an edit text gives, when it is an integer.
std::optional<std::uint32_t> PortOf(const QString& text) {
    bool ok = false;
    const int port = text.toInt(&ok);
    return ok ? std::optional(static_cast<std::uint32_t>(port)) : std::nullopt;
}

}  // namespace

SmtpSettingsDialog::SmtpSettingsDialog(const SmtpOptions& values, bool hasTlsOptions,
                                       platform::DialogUi& ui, QWidget* parent)
    : QDialog(parent), ui_(ui), values_(values) {
    platform::SetControlId(this, kDialogId);
    setWindowTitle(
        //% "Advanced SMTP-Settings"
        qtTrId("mail.advanced-smtp-settings"));

    authMethod_ = WithId(new QComboBox(this), kAuthMethodCombo);
    port_ = WithId(new QLineEdit(this), kPortEdit);
    legacySsl_ =
        WithId(new QCheckBox(QStringLiteral("SSL Verschlüsselung"), this), kLegacySslCheck);
    connectionType_ = WithId(new QComboBox(this), kConnectionCombo);
    protocol_ = WithId(new QComboBox(this), kProtocolCombo);

    auto* grid = new QGridLayout;
    const auto row = [&](int r, const QString& caption, QWidget* control) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(control);
        grid->addWidget(label, r, 0);
        grid->addWidget(control, r, 1);
    };
    row(0,
        //% "Authentifikationsmethode:"
        qtTrId("mail.authentication-method"), authMethod_);
    row(1,
        //% "Port:"
        qtTrId("mail.port"), port_);
    grid->addWidget(legacySsl_, 2, 1);
    row(3,
        //% "Connection Type:"
        qtTrId("mail.connection-type"), connectionType_);
    row(4,
        //% "SSL-protocoll:"
        qtTrId("mail.ssl-protocoll"), protocol_);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addWidget(platform::MakeOkCancelRow(*this).box);

    // The values into the controls; the legacy SSL box only carries its flag.
    ShowValues();
    legacySsl_->hide();

    authMethod_->addItems(Choices(kAuthMethods));
    authMethod_->setCurrentIndex(values_.authMethod >= 1 && values_.authMethod <= 5
                                     ? static_cast<int>(values_.authMethod)
                                     : 0);

    connectionType_->addItems(Choices(kConnectionTypes, hasTlsOptions ? -1 : 1));
    const int typeIndex = values_.connectionType >= 1 && values_.connectionType <= 3
                              ? static_cast<int>(values_.connectionType)
                              : 0;
    // A type the list does not hold (no TLS options) leaves the list without a choice.
    connectionType_->setCurrentIndex(typeIndex < connectionType_->count() ? typeIndex : -1);
    protocol_->setEnabled(values_.connectionType != 0);

    protocol_->addItems(Choices(kProtocols));
    const std::uint32_t protocol = values_.tlsProtocol;
    protocol_->setCurrentIndex(
        protocol == 0 || (protocol >= 2 && protocol <= 4) ? static_cast<int>(protocol) : 1);

    connect(authMethod_, &QComboBox::activated, this, &SmtpSettingsDialog::OnAuthMethodChanged);
    connect(connectionType_, &QComboBox::activated, this,
            &SmtpSettingsDialog::OnConnectionTypeChanged);
    connect(protocol_, &QComboBox::activated, this, &SmtpSettingsDialog::OnProtocolChanged);
    connect(legacySsl_, &QCheckBox::clicked, this, &SmtpSettingsDialog::OnLegacySslClicked);
}

SmtpOptions SmtpSettingsDialog::Values() const {
    SmtpOptions values = values_;
    if (const std::optional<std::uint32_t> port = PortOf(port_->text())) {
        values.port = *port;
    }
    values.legacySsl = legacySsl_->isChecked() ? 1 : 0;
    return values;
}

bool SmtpSettingsDialog::TakeControls() {
    const bool portOk = PortOf(port_->text()).has_value();
    values_ = Values();
    return portOk;
}

void SmtpSettingsDialog::ShowValues() {
    port_->setText(PortText(values_.port));
    legacySsl_->setChecked(values_.legacySsl != 0);
}

void SmtpSettingsDialog::accept() {
    if (!TakeControls()) {
        ui_.ShowMessage(
            //% "Enter an integer."
            qtTrId("mail.enter-an-integer").toStdString());
        port_->setFocus();
        port_->selectAll();
        return;
    }
    QDialog::accept();
}

void SmtpSettingsDialog::OnAuthMethodChanged(int index) {
    values_.authMethod = index >= 0 && index <= 4 ? static_cast<std::uint32_t>(index) : 5;
}

void SmtpSettingsDialog::OnConnectionTypeChanged(int index) {
    TakeControls();
    values_.connectionType = static_cast<std::uint32_t>(index);
    protocol_->setEnabled(index != 0);
    values_.port = index == 0 ? kPlainPort : index == 1 ? kSslPort : kStartTlsPort;
    ShowValues();
}

void SmtpSettingsDialog::OnProtocolChanged(int index) {
    values_.tlsProtocol = static_cast<std::uint32_t>(index);
}

void SmtpSettingsDialog::OnLegacySslClicked() {
    TakeControls();
    if (values_.legacySsl != 0 && values_.port == kPlainPort) {
        values_.port = kSslPort;
    } else if (values_.legacySsl == 0 && values_.port == kSslPort) {
        values_.port = kPlainPort;
    }
    ShowValues();
}

}  // namespace veltrix
