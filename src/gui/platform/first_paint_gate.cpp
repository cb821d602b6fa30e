#include "gui/platform/first_paint_gate.h"

#include <QEvent>
#include <QWidget>
#include <utility>

namespace veltrix::platform {

void FirstPaintGate::Defer(QWidget& window, QObject& context, std::function<void()> work,
                           int boundMs) {
    new FirstPaintGate(window, context, std::move(work), boundMs);
}

FirstPaintGate::FirstPaintGate(QWidget& window, QObject& context, std::function<void()> work,
                               int boundMs)
    : QObject(&context), window_(&window), work_(std::move(work)) {
    window.installEventFilter(this);
    bound_.setSingleShot(true);
    connect(&bound_, &QTimer::timeout, this, &FirstPaintGate::Open);
    bound_.start(boundMs);
    // The first turn of the event loop: a window that is not shown by then is not
    // going to paint.
    QTimer::singleShot(0, this, [this] {
        if (window_ == nullptr || !window_->isVisible()) {
            Open();
        }
    });
}

bool FirstPaintGate::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Paint) {
        // The paint runs on: the work is queued behind it and the picture's flush.
        QTimer::singleShot(0, this, &FirstPaintGate::Open);
        window_->removeEventFilter(this);
    }
    return QObject::eventFilter(watched, event);
}

void FirstPaintGate::Open() {
    if (!work_) {
        return;  // opened before
    }
    if (window_ != nullptr) {
        window_->removeEventFilter(this);
    }
    bound_.stop();
    const auto work = std::exchange(work_, nullptr);
    deleteLater();
    work();
}

}  // namespace veltrix::platform
