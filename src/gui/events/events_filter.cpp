#include "gui/events/events_filter.h"

#include "gui/events/events_model.h"

namespace veltrix {

EventsFilter::EventsFilter(EventsModel& model, QObject* parent)
    : QSortFilterProxyModel(parent), model_(model) {
    setSourceModel(&model);
}

void EventsFilter::SetHost(const EventHistory* host) {
    if (host != host_) {
        host_ = host;
        invalidateRowsFilter();
    }
}

void EventsFilter::SetSeverity(std::optional<Severity> severity) {
    if (severity != severity_) {
        severity_ = severity;
        invalidateRowsFilter();
    }
}

bool EventsFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (sourceParent.isValid()) {
        return false;
    }
    return (host_ == nullptr || model_.HistoryAt(sourceRow) == host_) &&
           (!severity_ || model_.SeverityAt(sourceRow) == *severity_);
}

}  // namespace veltrix
