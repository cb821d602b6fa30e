#pragma once
// The notification-area icon as the program sees it: one record handed to the host
// with an operation, as the desktop shell's icon call takes it. The Qt host shows it
// with QSystemTrayIcon; tests use a host that records every call.

#include <QFlags>
#include <QSystemTrayIcon>
#include <cstdint>
#include <functional>
#include <string>

#include "session/session_types.h"

namespace veltrix::shell {

// The parts of a record a call sets.
enum class NotifyPart : std::uint8_t { Message = 0x01, Icon = 0x02, Tip = 0x04, Balloon = 0x10 };
Q_DECLARE_FLAGS(NotifyParts, NotifyPart)
Q_DECLARE_OPERATORS_FOR_FLAGS(NotifyParts)
inline constexpr NotifyParts kNotifyPlain =
    NotifyPart::Message | NotifyPart::Icon | NotifyPart::Tip;
inline constexpr NotifyParts kNotifyWithBalloon = kNotifyPlain | NotifyPart::Balloon;

inline constexpr unsigned kTrayCallbackMessage = 0x8001;
inline constexpr unsigned kBalloonTimeoutMs = 10000;

// Longest texts that reach the notification area (bytes; the fields hold one more).
inline constexpr std::size_t kMaxTipLength = 127;
inline constexpr std::size_t kMaxBalloonTitleLength = 63;
inline constexpr std::size_t kMaxBalloonTextLength = 255;

struct NotifyRecord {
    int identifier = 0;  // the icon resource number shown (icon_id)
    NotifyParts flags;
    unsigned callbackMessage = kTrayCallbackMessage;
    int iconId = 0;  // the icon resource shown
    std::string tip;
    std::string balloonText;                           // with NotifyPart::Balloon only
    unsigned timeoutMs = 0;                            // with NotifyPart::Balloon only
    std::string balloonTitle;                          // with NotifyPart::Balloon only
    Severity balloonSeverity = Severity::Information;  // with NotifyPart::Balloon only

    bool operator==(const NotifyRecord&) const = default;
};

enum class NotifyOp { Add, Modify, Delete };

class TrayHost {
  public:
    virtual ~TrayHost() = default;
    // Results are not examined: a failed call leaves the program without (or with a
    // stale) icon, and it runs on.
    virtual void Notify(NotifyOp op, const NotifyRecord& record) = 0;
    // Whether the desktop shows notification-area icons at all.
    virtual bool IsAvailable() const = 0;

    // Called with the mouse message when the user clicks the icon.
    // The user activated the icon (a click, a double click, the context menu).
    std::function<void(QSystemTrayIcon::ActivationReason reason)> onActivated;
};

}  // namespace veltrix::shell
