#include "gui/events/events_command.h"

#include <algorithm>

#include "gui/events/events_dialog.h"
#include "gui/events/events_model.h"

namespace veltrix {

EventsCommand::EventsCommand(QWidget* window) : window_(window) {}

EventsCommand::~EventsCommand() = default;

void EventsCommand::AddHost(const QString& name, EventHistory& history) {
    const auto known = std::find_if(hosts_.begin(), hosts_.end(),
                                    [&history](const Host& h) { return h.history == &history; });
    if (known != hosts_.end()) {
        RenameHost(history, name);
        return;
    }
    hosts_.push_back({name, &history});
    if (model_) {
        model_->AddHost(name, history);
        view_->RefreshHosts();
    }
}

void EventsCommand::RemoveHost(EventHistory& history) {
    std::erase_if(hosts_, [&history](const Host& h) { return h.history == &history; });
    if (model_) {
        model_->RemoveHost(history);
        view_->RefreshHosts();
    }
}

void EventsCommand::RenameHost(EventHistory& history, const QString& name) {
    for (Host& host : hosts_) {
        if (host.history == &history) {
            host.name = name;
        }
    }
    if (model_) {
        model_->RenameHost(history, name);
        view_->RefreshHosts();
    }
}

void EventsCommand::Open() {
    if (!view_) {
        model_ = std::make_unique<EventsModel>();
        for (const Host& host : hosts_) {
            model_->AddHost(host.name, *host.history);
        }
        // A window of its own that belongs to the main window: that one runs modally,
        // and only the windows it owns take input beside it.
        view_ = std::make_unique<EventsDialog>(*model_, window_);
        view_->ScrollToNewest();
    }
    view_->show();
    view_->raise();
    view_->activateWindow();
}

}  // namespace veltrix
