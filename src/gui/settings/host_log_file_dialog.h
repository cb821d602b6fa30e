#pragma once
// The service's host log file: on or off, and its file name on the service's computer
// where the service's version lets the client set it. The values travel in the
// service configuration record; everything the dialog does not show goes back as the
// service sent it.

#include <QDialog>
#include <string>

#include "protocol/protocol.h"
#include "session/user_interface.h"

class QCheckBox;
class QLineEdit;

namespace veltrix {

// What the dialog shows and gives back.
struct HostLogFileForm {
    bool logActive = false;
    std::string fileName;  // as the service sent it, or as the user typed it
    bool fileNameEnabled = false;

    bool operator==(const HostLogFileForm&) const = default;
};

// The form for a record read from the service: the log counts as active for any flag
// bit; the name is offered from version 3 on, except to 3.0.0 - 3.0.2 and 3.0.299.
HostLogFileForm HostLogFileFormFor(const ServiceConfig& config);

// The record to send back: flag bit 0 set on top of the others when the log is active,
// no bit at all when not; the name only when it was offered and changed; every other
// byte as read.
ServiceConfig HostLogFileRecord(ServiceConfig read, const HostLogFileForm& form);

class HostLogFileDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kDialogId = 167;
    static constexpr int kLogActiveId = 1099;
    static constexpr int kFileNameId = 1106;
    static constexpr int kHostNameId = 1108;
    // What the record's name field holds besides its terminating zero.
    static constexpr std::size_t kMaxFileNameLength = ServiceConfig::kLogFileNameSize - 1;

    // Shows `form`; `hostNameText` as it is given. Messages go to `ui`.
    HostLogFileDialog(UserQuestions& ui, const HostLogFileForm& form,
                      const std::string& hostNameText, QWidget* parent = nullptr);

    // What the controls hold; a name left as it was shown is the service's own text.
    HostLogFileForm Form() const;

    // OK: refused for a name longer than the record holds.
    void accept() override;

  private:
    bool FileNameChanged() const;

    UserQuestions& ui_;
    HostLogFileForm shown_;
    QCheckBox* logActive_ = nullptr;
    QLineEdit* fileName_ = nullptr;
};

}  // namespace veltrix
