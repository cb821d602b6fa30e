#pragma once
// The menu's error log view of a host. The view is made when first asked for: until
// then only the host keeps the lines, so that nothing hidden is built at start-up.

#include <memory>

class QWidget;

namespace veltrix {

class ErrorLogDialog;
class HostMonitor;

class ErrorLogCommand {
  public:
    // The view belongs to `window`; it shows the error log lines of `monitor`.
    ErrorLogCommand(HostMonitor& monitor, QWidget* window);
    ~ErrorLogCommand();

    // Shows the view, brought to the front.
    void Run();
    // From now on the lines of `monitor`: a view of another host's lines goes.
    void ShowMonitor(HostMonitor& monitor);
    // Made when it is first asked for; it reads the host's lines, never copies them.
    ErrorLogDialog& View();

  private:
    HostMonitor* monitor_;
    QWidget* window_;
    std::unique_ptr<ErrorLogDialog> view_;
};

}  // namespace veltrix
