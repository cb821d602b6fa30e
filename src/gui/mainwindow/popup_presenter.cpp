#include "gui/mainwindow/popup_presenter.h"

#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QWidget>

#include "gui/platform/control_id.h"
#include "gui/platform/message_box.h"
#include "gui/platform/qt_user_interface.h"
#include "gui/resources/main_window_ids.h"

namespace veltrix {

namespace {

MessageIcon IconOf(Severity severity) {
    switch (severity) {
        case Severity::Error:
            return MessageIcon::Error;
        case Severity::Warning:
            return MessageIcon::Warning;
        case Severity::Information:
            return MessageIcon::Information;
    }
    return MessageIcon::None;
}

}  // namespace

PopupPresenter::PopupPresenter(PopupQueue& queue, QWidget* owner) : queue_(queue), owner_(owner) {
    // A push comes in the middle of a report's handling: the box opens after it.
    queue_.SetPushObserver([this] {
        QMetaObject::invokeMethod(this, &PopupPresenter::ShowNext, Qt::QueuedConnection);
    });
    QMetaObject::invokeMethod(this, &PopupPresenter::ShowNext, Qt::QueuedConnection);
}

PopupPresenter::~PopupPresenter() {
    queue_.SetPushObserver(nullptr);
    if (current_) {
        delete current_.data();
    }
}

QMessageBox* PopupPresenter::Current() const {
    return current_;
}

void PopupPresenter::OnClosed() {
    current_ = nullptr;
    // A pile of messages that waited behind the closed box: one box for all of them.
    if (queue_.Size() > kSummaryAbove) {
        Show(*queue_.TakeSummary());
        return;
    }
    QMetaObject::invokeMethod(this, &PopupPresenter::ShowNext, Qt::QueuedConnection);
}

void PopupPresenter::ShowNext() {
    if (current_) {
        return;  // the next opens when this one is closed
    }
    if (const std::optional<PopupEntry> entry = queue_.Pop()) {
        Show(*entry);
    }
}

void PopupPresenter::Show(const PopupEntry& entry) {
    // A box of one of several hosts names it before the program's name in its title.
    const QString title = platform::WithHostName(QString::fromStdString(entry.hostName),
                                                 platform::QtUserInterface::Title());
    auto box = platform::MakeMessageBox(owner_, title, QString::fromStdString(entry.text),
                                        IconOf(entry.severity), MessageButtons::Ok);
    ++shown_;
    current_ = box.release();
    current_->setAttribute(Qt::WA_DeleteOnClose);
    // Not modal to the window: the poll cycle and the window go on while it is open.
    current_->setWindowModality(Qt::NonModal);
    if (entry.summary && openEvents_) {
        // Any button closes the box; this one opens the events view as well.
        QPushButton* events = current_->addButton(
            //% "&Events..."
            qtTrId("popup.events"), QMessageBox::ActionRole);
        platform::SetControlId(events, control_id::kPopupEvents);
        connect(events, &QPushButton::clicked, this, [this] { openEvents_(); });
    }
    connect(current_, &QMessageBox::finished, this, &PopupPresenter::OnClosed);
    current_->show();
}

}  // namespace veltrix
