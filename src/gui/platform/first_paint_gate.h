#pragma once
// Start-up work that can wait (joining the system bus, asking the keyring) runs once
// the window has painted for the first time, so that it does not hold up the window's
// first picture: queued at the window's first paint, it runs when that paint is on the
// screen. A window that is not shown when the event loop first runs paints nothing
// (started hidden, or a test's): its work runs then. A shown window that is not
// painted within kBoundMs (a window system that never exposes it) gets it then.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class QWidget;

namespace veltrix::platform {

class FirstPaintGate : public QObject {
    Q_OBJECT

  public:
    static constexpr int kBoundMs = 500;

    // Runs `work` once, after `window`'s first paint as above; never when `context`
    // is gone by then (the gate is its child).
    static void Defer(QWidget& window, QObject& context, std::function<void()> work,
                      int boundMs = kBoundMs);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    FirstPaintGate(QWidget& window, QObject& context, std::function<void()> work, int boundMs);
    void Open();

    QPointer<QWidget> window_;
    std::function<void()> work_;
    QTimer bound_;
};

}  // namespace veltrix::platform
