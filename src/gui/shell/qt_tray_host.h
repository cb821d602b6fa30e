#pragma once
// The notification-area host on Qt: one QSystemTrayIcon shows the icon record last
// added. Without a tray on the desktop (headless, offscreen, a panel not yet started)
// the calls still keep the state; the icon appears once a tray is there. Balloons
// that find no tray, also one that went away while the program runs, become desktop
// notifications.

#include <QObject>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <memory>

#include "gui/shell/desktop_notifications.h"
#include "gui/shell/tray_host.h"

namespace veltrix::shell {

class QtTrayHost : public QObject, public TrayHost {
    Q_OBJECT

  public:
    explicit QtTrayHost(QObject* parent = nullptr);
    ~QtTrayHost() override;
    QtTrayHost(const QtTrayHost&) = delete;
    QtTrayHost& operator=(const QtTrayHost&) = delete;

    // Add shows the record's icon and tooltip; Modify changes the icon with that
    // identifier and does nothing when there is none; Delete hides it. A record with
    // NotifyPart::Balloon also shows its balloon.
    void Notify(NotifyOp op, const NotifyRecord& record) override;
    bool IsAvailable() const override;

    // State for tests and callers: whether an icon has been added and not deleted (it
    // is seen once the desktop has a tray) and its tooltip.
    bool IsShown() const { return shownIdentifier_ != 0; }
    QString ToolTip() const;

    // Plays a click on the icon as the tray would report it.
    void SimulateActivation(QSystemTrayIcon::ActivationReason reason);

    // The user clicked a desktop notification that stood for a balloon: the program
    // shows its window.
    std::function<void()> onNotificationActivated;

  private:
    void Apply(const NotifyRecord& record);
    void ShowWhenTrayThere();
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void ShowBalloon(const NotifyRecord& record);

    QSystemTrayIcon* icon_;  // child of this object
    // Looks for a tray again while an added icon waits for one.
    QTimer trayWait_;
    int shownIdentifier_ = 0;
    int iconId_ = 0;  // the icon number shown, 0 before the first
    // Made when the first balloon finds no tray.
    std::unique_ptr<DesktopNotifications> notifications_;
};

}  // namespace veltrix::shell
