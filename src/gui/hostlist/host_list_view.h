#pragma once
// The watched hosts beside the window's body, one row each: the icon of its state
// (the notification area's three, small), its name and under it its state line.
// Choosing a row, by click, arrow keys or Ctrl+1 to Ctrl+9 while the list is shown,
// tells which host the window is to show; a screen reader hears "name, state line".

#include <QListView>

#include "gui/shell/tray_icon.h"
#include "watch/host_state.h"

namespace veltrix {

class HostList;

// The notification area's level of a host's state: sets well, a set's problem, not
// reachable.
shell::HostsLevel HostsLevelOf(HostState state);

class HostListView : public QListView {
    Q_OBJECT

  public:
    explicit HostListView(QWidget* parent = nullptr);

    // The rows are `hosts`'; it must outlive the view or be replaced first (null: none).
    void SetHosts(HostList* hosts);
    // Marks `row` as the shown host without telling HostChosen.
    void MarkShown(int row);

    QSize sizeHint() const override;

  signals:
    // The user chose the host of `row`.
    void HostChosen(int row);

  private:
    void AddRowKeys();
};

}  // namespace veltrix
