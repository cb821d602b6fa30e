#pragma once
// The Veltrix program as a process against simulated services: a private runtime
// folder, configuration folder and pipe folder, the settings file of its hosts (the
// first on the local pipe, further ones on TCP), and what a test on a private desktop
// asks of it over D-Bus.

#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "servicesim/service_sim.h"
#include "support/private_buses.h"

namespace veltrix::testing {

// Starts the program with `args` in `env`, standard output and error merged.
QProcess* StartProgram(const QStringList& args, const QProcessEnvironment& env);

// The program's environment with private runtime folder (where its one-instance socket
// lives) and no reachable D-Bus: nothing a test starts meets the machine's own
// desktop, nor another test's program.
QProcessEnvironment PrivateEnvironment(const QString& dir);

// Waits until `done` holds, at most `bound`; whether it does.
template <typename Condition>
bool WaitUntil(Condition done, std::chrono::milliseconds bound) {
    const QDeadlineTimer deadline(bound);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

// The program against a simulated service on the local pipe, with a settings file that
// connects 3 s after the start; further hosts each have a service of their own on TCP.
class ProgramRun {
  public:
    explicit ProgramRun(sim::Scenario scenario, const char* moreSettings = "");
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Before Launch: a further host named `name` (password "kavo", Autoconnect on), its
    // service on a free TCP port of 127.0.0.1 with `options` otherwise.
    sim::ServiceSim& AddTcpHost(const std::string& name, sim::Scenario scenario,
                                sim::ServiceSimOptions options = {});

    // Starts the program (the first time, or again with `args`). The first start writes
    // the settings file.
    QProcess& Launch(const QStringList& args = {});
    QProcess& process() { return *processes_.front(); }
    // Where the program listens for a second start (offscreen platform).
    std::string InstanceSocket() const;
    // The first host's service.
    sim::ServiceSim& service() { return *services_.front(); }
    // Before Launch: an environment variable of the program's own.
    void SetEnvironment(const char* name, const QString& value);
    // Before Launch: on X display `display` with session bus `bus` (none when empty). In
    // the sanitizer build, what Qt's own X, tray and accessibility code never frees is
    // not the program's.
    void OnDesktop(const QString& display, const QString& bus);
    // How many requests with `code` the first host's service has had so far.
    std::size_t Requests(std::uint32_t code) const;
    void Signal(int number);

    // The settings file as the program left it, and whether only its owner may read it.
    std::string Settings() const;
    bool SettingsArePrivate() const;

  private:
    void WriteSettings() const;

    QTemporaryDir dir_;
    std::string file_;
    std::string moreSettings_;
    std::vector<std::unique_ptr<sim::ServiceSim>> services_;
    std::string furtherHosts_;
    int furtherHostCount_ = 0;
    QProcessEnvironment env_;
    std::vector<std::unique_ptr<QProcess>> processes_;
};

// at-spi2-core's accessibility bus on the private session bus at `sessionAddress` and X
// display `display`, for a screen reader's reading of the program; ends with the object.
class AccessibilityBus {
  public:
    // Whether the Debian packages at-spi2-core and python3-pyatspi are there.
    static bool Available();

    AccessibilityBus(const QString& sessionAddress, const QString& display);
    ~AccessibilityBus();
    AccessibilityBus(const AccessibilityBus&) = delete;
    AccessibilityBus& operator=(const AccessibilityBus&) = delete;

    // The desktop's environment, for a screen reader.
    const QProcessEnvironment& desktop() const { return desktop_; }

  private:
    QProcessEnvironment desktop_;
    QProcess bus_;
};

// The name on the bus of the notification-area item that registered last with the
// watcher (as a panel's host learns it); empty before any did.
QString RegisteredItem(const DbusMock& watcher);
// The tooltip's title that the item at `item` shows (its ToolTip property); empty when
// it cannot be read.
QString ItemToolTip(const DbusMock& watcher, const QString& item);

}  // namespace veltrix::testing
