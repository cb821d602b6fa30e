#include "gui/settings/host_log_file_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/platform/control_id.h"
#include "gui/platform/dialog_parts.h"

namespace veltrix {

namespace {

constexpr int kFileNameMinimumWidth = 320;

// Whether the service lets the client set the file name.
bool OffersFileName(const ServiceConfig& config) {
    if (config.versionMajor <= 2) {
        return false;
    }
    // 3.0.299 sends the whole record, but its name is not the client's to show.
    return (config.versionBuild != 299 && config.versionBuild > 2) || config.versionMinor != 0;
}

}  // namespace

HostLogFileForm HostLogFileFormFor(const ServiceConfig& config) {
    HostLogFileForm form;
    form.logActive = config.configFlags != 0;
    form.fileNameEnabled = OffersFileName(config);
    if (form.fileNameEnabled) {
        form.fileName = config.LogFileNameText();
    }
    return form;
}

ServiceConfig HostLogFileRecord(ServiceConfig read, const HostLogFileForm& form) {
    read.configFlags = form.logActive ? static_cast<std::uint8_t>(read.configFlags | 0x01) : 0;
    // A name the user could not see or did not change goes back byte for byte: a
    // service whose name is not offered keeps it.
    if (form.fileNameEnabled && form.fileName != read.LogFileNameText()) {
        read.SetLogFileName(form.fileName);
    }
    return read;
}

HostLogFileDialog::HostLogFileDialog(UserQuestions& ui, const HostLogFileForm& form,
                                     const std::string& hostNameText, QWidget* parent)
    : QDialog(parent), ui_(ui), shown_(form) {
    platform::SetControlId(this, kDialogId);
    setWindowTitle(
        //% "Host log file"
        qtTrId("settings.host-log-file"));

    auto* hostName = new QLabel(QString::fromStdString(hostNameText), this);
    platform::SetControlId(hostName, kHostNameId);
    hostName->setTextFormat(Qt::PlainText);
    fileName_ = new QLineEdit(QString::fromStdString(form.fileName), this);
    platform::SetControlId(fileName_, kFileNameId);
    fileName_->setEnabled(form.fileNameEnabled);
    fileName_->setMinimumWidth(kFileNameMinimumWidth);
    logActive_ = new QCheckBox(
        //% "Activate log file"
        qtTrId("settings.activate-log-file"), this);
    platform::SetControlId(logActive_, kLogActiveId);
    logActive_->setChecked(form.logActive);

    auto* fields = new QFormLayout;
    fields->addRow(
        //% "Host name:"
        qtTrId("settings.host-name"), hostName);
    fields->addRow(
        //% "File name:"
        qtTrId("settings.file-name"), fileName_);
    fields->addRow(logActive_);
    const platform::OkCancelRow buttons = platform::MakeOkCancelRow(*this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons.box);
}

bool HostLogFileDialog::FileNameChanged() const {
    return fileName_->text() != QString::fromStdString(shown_.fileName);
}

HostLogFileForm HostLogFileDialog::Form() const {
    HostLogFileForm form = shown_;
    form.logActive = logActive_->isChecked();
    // Text that is no valid UTF-8 shows with replacement characters; unchanged, it
    // keeps its own bytes.
    if (FileNameChanged()) {
        form.fileName = fileName_->text().toStdString();
    }
    return form;
}

void HostLogFileDialog::accept() {
    // The record holds 249 characters and the terminator; a longer name is never cut.
    if (FileNameChanged() && platform::WireLength(fileName_->text()) > kMaxFileNameLength) {
        ui_.ShowMessage(
            //% "The file name is too long: it may have at most 249 characters."
            qtTrId("settings.the-file-name-is-too-long-it-may-hav").toStdString());
        fileName_->setFocus(Qt::OtherFocusReason);
        return;
    }
    QDialog::accept();
}

}  // namespace veltrix
