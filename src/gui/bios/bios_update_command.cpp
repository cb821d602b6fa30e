#include "gui/bios/bios_update_command.h"

#include <QTimer>
#include <utility>

#include "gui/bios/bios_update_dialog.h"
#include "gui/platform/dialog_ui.h"
#include "model/controller.h"
#include "texts/string_ids.h"
#include "texts/strings.h"
#include "watch/host_monitor.h"

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

// Why no update can start for `host` (a text id), or 0; `target` gets the controller.
int RefusalFor(const HostMonitor& monitor, const BiosUpdateHost& host, FlashTarget& target) {
    if (host.controllerCount == 0) {
        return host.connected ? ids::kControllerNotFound : ids::kHostNotConnected;
    }
    const Controller* controller = monitor.Table()->GetController(host.controller);
    if (controller == nullptr) {
        return ids::kControllerNotFound;
    }
    if (DriverVersionNumber(controller->DriverVersion()) < kOldestDriverVersion) {
        return ids::kDriverTooOld;
    }
    target.controllerName = controller->Name();
    target.vendorId = controller->VendorId();
    target.deviceId = controller->DeviceId();
    target.hostName = host.hostName;
    if (!host.connected) {
        return ids::kHostNotConnected;
    }
    if (host.serviceVersion <= static_cast<std::int32_t>(kVersionBiosUpdate)) {
        return ids::kServiceTooOld;
    }
    target.controllerIndex = host.controller;
    return 0;
}

}  // namespace

void BiosUpdateCommand::Run(HostMonitor& monitor, const BiosUpdateHost& host) {
    FlashTarget target;
    if (const int refusal = RefusalFor(monitor, host, target); refusal != 0) {
        ui_.ShowMessage(LoadString(refusal), MessageIcon::None, MessageButtons::Ok);
        return;
    }
    BiosUpdateDialog dialog(ui_, monitor, std::move(target), window_);
    dialog_ = &dialog;
    // What waits for the run goes ahead once the run has ended.
    QObject::connect(&dialog, &BiosUpdateDialog::RunEnded, &dialog, [this, &dialog] {
        if (afterRun_) {
            dialog.reject();
        }
    });
    dialog.InitDialog();
    ui_.RunModal(dialog);
    dialog_ = nullptr;
    // The run clears the session's flashBusy on every way out; nothing is left to clear.
    if (afterRun_) {
        QTimer::singleShot(0, window_, std::exchange(afterRun_, {}));
    }
}

bool BiosUpdateCommand::IsRunning() const {
    return dialog_ != nullptr && dialog_->IsRunning();
}

bool BiosUpdateCommand::DeferUntilRunEnds(std::function<void()> then) {
    if (!IsRunning()) {
        return false;
    }
    afterRun_ = std::move(then);
    return true;
}

}  // namespace veltrix
