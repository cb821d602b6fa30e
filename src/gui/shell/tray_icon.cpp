#include "gui/shell/tray_icon.h"

#include <cstddef>
#include <string>

#include "gui/resources/main_window_ids.h"

namespace veltrix::shell {

namespace {

int IdentifierFor(bool isConnected) {
    return isConnected ? icon_id::kConnected : icon_id::kDisconnected;
}

// The texts are UTF-8: a cut that would split a multi-byte character drops the whole
// character, so the notification area never receives a broken sequence.
std::string CutUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t end = maxBytes;
    // Back over continuation bytes (10xxxxxx) to the lead byte of the character that
    // would be split; a character has at most three of them.
    for (int backed = 0; backed < 3 && end > 0; ++backed) {
        if ((static_cast<unsigned char>(text[end]) & 0xC0U) != 0x80U) {
            break;
        }
        --end;
    }
    return text.substr(0, end);
}

}  // namespace

int HostsIconId(HostsLevel level) {
    switch (level) {
        case HostsLevel::Well:
            return icon_id::kHostsWell;
        case HostsLevel::SetProblem:
            return icon_id::kHostsSetProblem;
        case HostsLevel::Unreachable:
            break;
    }
    return icon_id::kHostsUnreachable;
}

void TrayIcon::AddTrayIcon(bool isConnected) {
    const int identifier = IdentifierFor(isConnected);
    trayIconId_ = identifier;

    NotifyRecord record;
    record.identifier = identifier;
    record.flags = kNotifyPlain;
    record.callbackMessage = kTrayCallbackMessage;
    record.iconId = identifier;
    record.tip = CutUtf8(trayTip, kMaxTipLength);
    host_.Notify(NotifyOp::Add, record);
}

void TrayIcon::UpdateTrayIcon(bool isConnected, bool showBalloon) {
    Update(IdentifierFor(isConnected), showBalloon);
}

void TrayIcon::UpdateHostsIcon(HostsLevel worst, bool showBalloon) {
    Update(HostsIconId(worst), showBalloon);
}

void TrayIcon::Update(int wanted, bool showBalloon) {
    // The identifier is the icon number, so another icon means another entry: the old
    // one goes and the new one is added.
    bool removed = false;
    if (trayIconId_ != wanted) {
        DeleteTrayIcon();
        removed = true;
    }
    trayIconId_ = wanted;

    NotifyRecord record;
    record.identifier = wanted;
    record.callbackMessage = kTrayCallbackMessage;
    record.iconId = wanted;
    record.tip = CutUtf8(trayTip, kMaxTipLength);
    if (showBalloon) {
        record.flags = kNotifyWithBalloon;
        record.balloonTitle = CutUtf8(balloonTitle, kMaxBalloonTitleLength);
        record.balloonText = CutUtf8(balloonText, kMaxBalloonTextLength);
        record.balloonSeverity = balloonSeverity;
        record.timeoutMs = kBalloonTimeoutMs;
    } else {
        record.flags = kNotifyPlain;
    }
    host_.Notify(removed ? NotifyOp::Add : NotifyOp::Modify, record);
}

void TrayIcon::DeleteTrayIcon() {
    NotifyRecord record;
    record.identifier = trayIconId_;
    host_.Notify(NotifyOp::Delete, record);
}

}  // namespace veltrix::shell
