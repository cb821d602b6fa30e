#pragma once
// A private desktop for tests: an X server of its own (Xvfb), and private D-Bus
// daemons: a session bus and one that stands in for the system
// bus, each a dbus-daemon with a generated configuration (no service activation, every
// call allowed) on a socket in a temporary folder. Started once per test program, they
// replace DBUS_SESSION_BUS_ADDRESS and DBUS_SYSTEM_BUS_ADDRESS before anything in the
// program connects to a bus, so the machine's own buses are never touched. Mock
// services on them come from python3-dbusmock's templates.

#include <sys/types.h>

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <string>
#include <vector>

namespace veltrix::testing {

class PrivateBuses {
  public:
    // The program's buses, started at the first call; null when they cannot run,
    // with the reason in `whyNot`.
    static const PrivateBuses* Get(std::string& whyNot);

    QString sessionAddress;
    QString systemAddress;
};

// One python3-dbusmock service from a template, on the private session or system bus.
class DbusMock {
  public:
    struct Call {
        QString method;
        QVariantList args;  // arrays and dictionaries as QStringList / QVariantMap
    };

    // Starts `python3 -m dbusmock --template <name>` and waits until `service` is on
    // the bus (ready() tells whether it came).
    DbusMock(const char* templateName, bool systemBus, QString service, QString path);
    ~DbusMock();
    DbusMock(const DbusMock&) = delete;
    DbusMock& operator=(const DbusMock&) = delete;

    bool ready() const { return ready_; }
    QDBusConnection bus() const;

    // The mock's call log (methods the template added), oldest first.
    std::vector<Call> Calls() const;
    // Emits a signal from the mock's main object; without `wait`, the call goes out and
    // the caller's event loop goes on at once (the signal may arrive before the reply).
    bool EmitSignal(const QString& interface, const QString& name, const QString& signature,
                    const QVariantList& args, bool wait = true) const;
    // Calls a method of the main object and returns the reply's arguments (empty on an
    // error).
    QVariantList CallMethod(const QString& interface, const QString& method,
                            const QVariantList& args = {}) const;

  private:
    bool systemBus_;
    QString service_;
    QString path_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

// An X server of the test's own (Xvfb on a free display number), for programs that
// need a real window system: a notification area, window mapping. Ends with the object.
class PrivateDisplay {
  public:
    PrivateDisplay();
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    // ":N", or empty when Xvfb did not start.
    const QString& name() const { return name_; }
    // The titles of the top-level windows mapped on the display now (not counting
    // override-redirect ones such as tooltips); nothing when it cannot be asked.
    QStringList MappedWindowTitles() const;

  private:
    QString name_;
    pid_t pid_ = -1;
};

}  // namespace veltrix::testing
