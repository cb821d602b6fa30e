#pragma once
// Dialog 176 "Advanced SMTP-Settings": the SMTP authentication method, port, connection
// type and TLS protocol of the e-mail settings. Connection types beyond "Plain Text"
// are offered only to a service that knows them; choosing a type puts its default port
// in. A value the lists do not hold shows as their first item (the protocol list: as
// "TLS v 1.0") and stays as it was unless the user chooses another.

#include <QDialog>

#include "session/mail_settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace veltrix {

namespace platform {
class DialogUi;
}

class SmtpSettingsDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kDialogId = 176;
    static constexpr int kAuthMethodCombo = 1149;
    static constexpr int kPortEdit = 1150;
    static constexpr int kLegacySslCheck = 1099;
    static constexpr int kConnectionCombo = 1152;
    static constexpr int kProtocolCombo = 1153;

    // Default ports of the connection types.
    static constexpr std::uint32_t kPlainPort = 25;
    static constexpr std::uint32_t kSslPort = 465;
    static constexpr std::uint32_t kStartTlsPort = 587;

    // `ui` shows the message for a port that is not an integer.
    SmtpSettingsDialog(const SmtpOptions& values, bool hasTlsOptions, platform::DialogUi& ui,
                       QWidget* parent = nullptr);

    // The values, the port as its edit shows it when that is an integer.
    SmtpOptions Values() const;

    // OK: ends the dialog only when the port is an integer.
    void accept() override;

  private:
    void OnAuthMethodChanged(int index);
    void OnConnectionTypeChanged(int index);
    void OnProtocolChanged(int index);
    void OnLegacySslClicked();
    // The port and the legacy SSL flag from their controls into the values (false when
    // the port is not an integer; it then stays as it was), and back.
    bool TakeControls();
    void ShowValues();

    platform::DialogUi& ui_;
    SmtpOptions values_;
    QComboBox* authMethod_;
    QLineEdit* port_;
    QCheckBox* legacySsl_;
    QComboBox* connectionType_;
    QComboBox* protocol_;
};

}  // namespace veltrix
