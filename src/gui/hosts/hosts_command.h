#pragma once
// The menu's "Hosts...": the hosts the window watches, edited in the hosts dialog and
// kept. The command only reads and writes them through the functions it is given (the
// window's settings and password keeping); whoever watches the hosts hears the new
// list through HostsChanged.

#include <QObject>
#include <functional>
#include <vector>

#include "watch/host_entry.h"

class QWidget;

namespace veltrix {

namespace platform {
class DialogUi;
}

class HostsCommand : public QObject {
    Q_OBJECT

  public:
    using Reader = std::function<std::vector<HostEntry>()>;
    using Writer = std::function<void(const std::vector<HostEntry>&)>;

    // The dialog opens over `window` with what `read` gives; OK keeps the list through
    // `write`.
    HostsCommand(Reader read, Writer write, platform::DialogUi& ui, QWidget* window);

    // Opens the dialog; on OK with a changed list writes it and emits HostsChanged.
    void Run();

  signals:
    void HostsChanged(std::vector<veltrix::HostEntry> hosts);

  private:
    Reader read_;
    Writer write_;
    platform::DialogUi& ui_;
    QWidget* window_;
};

}  // namespace veltrix
