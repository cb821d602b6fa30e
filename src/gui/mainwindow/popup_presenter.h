#pragma once
// Shows the entries of a PopupQueue as message boxes on the GUI thread: one box at a
// time, in arrival order, without blocking whoever pushed them.

#include <QObject>
#include <QPointer>

#include "gui/mainwindow/popup_queue.h"

class QMessageBox;
class QWidget;

namespace veltrix {

class PopupPresenter : public QObject {
    Q_OBJECT

  public:
    // `owner` parents the boxes (may be null). Pushes from any thread wake the
    // presenter through the GUI thread's event loop.
    PopupPresenter(PopupQueue& queue, QWidget* owner);
    ~PopupPresenter() override;

    // The box now open, or null.
    QMessageBox* Current() const;

  private:
    void ShowNext();

    PopupQueue& queue_;
    QPointer<QWidget> owner_;
    QPointer<QMessageBox> current_;
};

}  // namespace veltrix
