#pragma once
// Shows the entries of a PopupQueue as message boxes on the GUI thread: one box at a
// time, in arrival order, without blocking whoever pushed them. When a box closes and
// more than kSummaryAbove messages wait, one box sums them all up instead, so a burst
// of events never buries the desktop in boxes (each event is in the event log).

#include <QObject>
#include <QPointer>
#include <functional>

#include "gui/mainwindow/popup_queue.h"

class QMessageBox;
class QWidget;

namespace veltrix {

class PopupPresenter : public QObject {
    Q_OBJECT

  public:
    static constexpr std::size_t kSummaryAbove = 3;

    // `owner` parents the boxes (may be null). A push opens the next box from the
    // event loop, after whatever pushed it.
    PopupPresenter(PopupQueue& queue, QWidget* owner);
    ~PopupPresenter() override;

    // The box now open, or null.
    QMessageBox* Current() const;
    // The summing box gets a button beside OK that opens the events view with
    // `openEvents` (and closes the box); without one it has OK only.
    void SetEventsOpener(std::function<void()> openEvents) { openEvents_ = std::move(openEvents); }

  private:
    void ShowNext();
    void OnClosed();
    void Show(const PopupEntry& entry);

    PopupQueue& queue_;
    QPointer<QWidget> owner_;
    QPointer<QMessageBox> current_;
    std::function<void()> openEvents_;
    int shown_ = 0;
};

}  // namespace veltrix
