#pragma once
// The About box: the program's own version, the version of the service it is connected
// to, and the entry to the hidden service mode (two letter keys typed while the box is
// open, ui/shell/service_mode.h).

#include <QDialog>
#include <string>

#include "protocol/protocol.h"

class QLabel;

namespace veltrix {

namespace platform {
class DialogUi;
}

namespace about_id {
inline constexpr int kDialog = 100;
inline constexpr int kClientVersion = 1109;
inline constexpr int kServiceVersion = 1110;
inline constexpr int kOk = 1;
}  // namespace about_id

// The two keys of the service mode's sequence, in this order.
inline constexpr int kServiceModeFirstKey = Qt::Key_K;
inline constexpr int kServiceModeSecondKey = Qt::Key_V;
// Longest service version text the box closes with OK.
inline constexpr int kMaxServiceVersionLength = 11;

// One key press in the About box: the first key after the box opened (state 4) goes
// to 5, the second key then to 6 and switches the service mode on; any other key
// clears both.
void TakeServiceModeKey(int key);

// The service's version for the box: "  -" when not connected, else
// "major.minor.build", with ".revision" when the version number counts the revision
// (3030100 and above) and the revision is not 0.
std::string ServiceVersionText(bool connected, const ServiceConfig& config, int serviceVersion);

class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(platform::DialogUi& ui, QWidget* parent = nullptr);

    void SetVersionTexts(const std::string& client, const std::string& service);

    // OK closes the box only with a service version text of at most 11 characters.
    void accept() override;

  protected:
    // Every key press passes the service mode's key filter before the box handles it.
    bool event(QEvent* event) override;

  private:
    platform::DialogUi& ui_;
    QLabel* clientVersion_ = nullptr;
    QLabel* serviceVersion_ = nullptr;
};

}  // namespace veltrix
