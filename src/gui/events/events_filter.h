#pragma once
// The rows of an EventsModel the events view shows: of one host or all, of one
// severity or all. It asks the model directly, so that filtering many rows stays cheap.

#include <QSortFilterProxyModel>
#include <optional>

#include "session/session_types.h"

namespace veltrix {

class EventHistory;
class EventsModel;

class EventsFilter : public QSortFilterProxyModel {
  public:
    explicit EventsFilter(EventsModel& model, QObject* parent = nullptr);

    // Null: every host.
    void SetHost(const EventHistory* host);
    // Nothing: every severity.
    void SetSeverity(std::optional<Severity> severity);

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    EventsModel& model_;
    const EventHistory* host_ = nullptr;
    std::optional<Severity> severity_;
};

}  // namespace veltrix
