#pragma once
// The watched hosts in the user's order, each with its own monitor, as a list model:
// a row per host with its name and its state, and the worst state of them all for the
// notification area.

#include <QAbstractListModel>
#include <QStringList>
#include <memory>
#include <vector>

#include "watch/host_monitor.h"
#include "watch/host_state.h"

namespace veltrix {

class HostList : public QAbstractListModel {
    Q_OBJECT

  public:
    enum Role {
        StateRole = Qt::UserRole + 1,  // int of HostState
        StateLineRole,
    };

    explicit HostList(QObject* parent = nullptr);
    ~HostList() override;

    // Appends a host; returns its row.
    int Add(std::unique_ptr<HostMonitor> monitor);
    // Removes the host of `row` and ends its monitor (nothing outside the rows).
    void Remove(int row);
    // Moves the host of `from` to `to` (each a row; nothing outside the rows).
    void Move(int from, int to);
    // The monitor of `row`; nullptr outside the rows.
    HostMonitor* At(int row) const;
    int Count() const { return static_cast<int>(monitors_.size()); }
    // The row of `monitor`; -1 when it is not in the list.
    int RowOf(const HostMonitor* monitor) const;

    // The worst state of the hosts (NotConnected without any), and a line "name: state
    // line" for each host, the worst first and hosts of one state in the list's order.
    HostState Worst() const;
    QStringList TooltipLines() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

  signals:
    void WorstChanged();

  private:
    // The host's row changed (its state or its entry).
    void OnStateChanged(const HostMonitor* monitor);
    void NoteWorst();

    std::vector<std::unique_ptr<HostMonitor>> monitors_;
    HostState toldWorst_ = HostState::NotConnected;
};

}  // namespace veltrix
