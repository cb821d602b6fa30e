// The BIOS update: its checks, then the update dialog.
#include <QTimer>

#include "gui/bios/bios_update_dialog.h"
#include "gui/mainwindow/main_window.h"
#include "model/controller.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix {

namespace {

constexpr int kOldestDriverVersion = 357;

// The driver version "d.dd" as the number 100 * d + 10 * d + d from its first, third
// and fourth characters; a missing character counts as its terminating NUL would.
int DriverVersionNumber(const std::string& version) {
    const auto digit = [&](std::size_t i) {
        const char c = i < version.size() ? version[i] : '\0';
        return static_cast<int>(c) - static_cast<int>('0');
    };
    return 100 * digit(0) + 10 * digit(2) + digit(3);
}

}  // namespace

void MainWindow::OnBiosUpdate() {
    const auto show = [this](int id) {
        ui_.ShowMessage(LoadString(id), MessageIcon::None, MessageButtons::Ok);
    };
    if (state_.controllerCount == 0) {
        show(state_.isConnected ? ids::kControllerNotFound : ids::kHostNotConnected);
        return;
    }
    const Controller* controller = monitor_->Table()->GetController(state_.currentController);
    if (controller == nullptr) {
        show(ids::kControllerNotFound);
        return;
    }
    if (DriverVersionNumber(controller->DriverVersion()) < kOldestDriverVersion) {
        show(ids::kDriverTooOld);
        return;
    }
    FlashTarget target;
    target.controllerName = controller->Name();
    target.vendorId = controller->VendorId();
    target.deviceId = controller->DeviceId();
    target.hostName = settings_.hostName;
    if (!state_.isConnected) {
        show(ids::kHostNotConnected);
        return;
    }
    if (state_.serviceVersion <= static_cast<std::int32_t>(kVersionBiosUpdate)) {
        show(ids::kServiceTooOld);
        return;
    }
    target.controllerIndex = state_.currentController;

    BiosUpdateDialog dialog(ui_, *session_, std::move(target), this);
    flashDialog_ = &dialog;
    // An Exit asked for during a run goes ahead once the run has ended.
    connect(&dialog, &BiosUpdateDialog::RunEnded, this, [this, &dialog] {
        if (exitAfterFlash_) {
            dialog.reject();
        }
    });
    dialog.InitDialog();
    ui_.RunModal(dialog);
    flashDialog_ = nullptr;
    // The run clears the session's flashBusy on every way out; nothing is left to clear.
    if (exitAfterFlash_) {
        exitAfterFlash_ = false;
        QTimer::singleShot(0, this, [this] { ExitProgram(); });
    }
}

bool MainWindow::IsFlashRunning() const {
    return flashDialog_ != nullptr && flashDialog_->IsRunning();
}

}  // namespace veltrix
