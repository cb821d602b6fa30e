// How long the main window's GUI thread goes without handling events while the
// service answers slowly.
//
// The real main window (MainWindow, shown on the offscreen platform, real timers)
// auto-connects to an in-process simulated service whose every reply, the login's
// included, comes late (250 ms by default). For the whole run a 10 ms timer on the GUI
// thread notes the time between its ticks; the delay of a tick is how much later than
// 10 ms after the previous one it came. A GUI thread that never waits for the service
// shows delays of a few milliseconds; a wait for a reply shows as a delay of at least
// the reply's lateness.
//
// The session's reports are counted as the window receives them: the connection, the
// enumeration, every poll cycle (its start and the end of its event handling) and all
// reports together. Message boxes are answered OK at once and recorded; popups are
// counted as the session reports them. The service counts the requests it received.
//
// The service is the quiet two-controller machine. Auto-connect logs in 3 s after the
// start; enumerating it takes about 130 requests (every drive and set address of both
// controllers), so with 250 ms per reply the first poll cycle comes after about 37 s:
// a run of the default 30 s covers the login and most of the enumeration, one of 60 s
// (--seconds 60) a few poll cycles of 1.5 s each too.
//
// Usage: window_responsiveness_bench [--seconds N] [--late_ms N]
//   --seconds  length of the run (default 30)
//   --late_ms  lateness of every reply (default 250)
// Target: largest delay under 50 ms.

#include <sys/stat.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "gui/mainwindow/main_window.h"
#include "gui/shell/tray_host.h"
#include "model/raid_set.h"
#include "protocol/transport.h"
#include "servicesim/scenario_builders.h"
#include "servicesim/service_sim.h"
#include "session/text_catalogue.h"

namespace {

using namespace veltrix;

constexpr int kTickMs = 10;
constexpr double kTargetMs = 50.0;

struct Options {
    int seconds = 30;
    int lateMs = 250;
};

// --seconds N, --seconds=N, --late_ms N, --late_ms=N; nothing on a bad argument.
std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        const auto equals = arg.find('=');
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg.resize(equals);
        } else if (i + 1 < argc) {
            value = argv[++i];
        }
        char* end = nullptr;
        const long number = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || number < 0 || number > 3600000) {
            return std::nullopt;
        }
        if (arg == "--seconds" && number > 0) {
            options.seconds = static_cast<int>(number);
        } else if (arg == "--late_ms") {
            options.lateMs = static_cast<int>(number);
        } else {
            return std::nullopt;
        }
    }
    return options;
}

// Message boxes are answered OK (Yes) at once and recorded; they are asked on the
// GUI thread, as the program's boxes are. File dialogs and modal runs are cancelled.
class AnsweringUi : public platform::DialogUi {
  public:
    MessageAnswer ShowMessage(const std::string& text, MessageIcon,
                              MessageButtons buttons) override {
        messages.push_back(text);
        return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
                   ? MessageAnswer::Yes
                   : MessageAnswer::Ok;
    }
    void ReportError(const std::string& text) override { messages.push_back(text); }
    std::optional<std::string> GetOpenFileName(const std::string&, const std::string&,
                                               const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> GetSaveFileName(const std::string&, const std::string&,
                                               const std::string&) override {
        return std::nullopt;
    }
    int RunModal(QDialog&) override { return QDialog::Rejected; }

    std::vector<std::string> messages;
};

// A notification area without a desktop tray that only counts its calls.
class CountingTrayHost : public shell::TrayHost {
  public:
    void Notify(shell::NotifyOp, const shell::NotifyRecord&) override { ++calls; }
    bool IsAvailable() const override { return false; }
    std::size_t calls = 0;
};

// A private folder for the pipe and Qt's runtime files, removed at the end.
// What the window received from the session, with the run time of the first of each.
struct Reports {
    int connected = 0;
    int enumerated = 0;
    int controllers = 0;
    int pollsStarted = 0;
    int cyclesHandled = 0;
    int popups = 0;
    int all = 0;
    double connectedAtMs = -1;
    double enumeratedAtMs = -1;
    double firstCycleAtMs = -1;
    std::string firstPopup;
};

// The 10 ms ticks: every delay beyond the period, and where the largest one fell.
class TickRecorder {
  public:
    explicit TickRecorder(const QElapsedTimer& clock) : clock_(clock) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(kTickMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    }
    void Start() {
        last_ = clock_.nsecsElapsed();
        timer_.start();
    }
    void Stop() { timer_.stop(); }

    const std::vector<double>& DelaysMs() const { return delaysMs_; }
    double LargestMs() const { return largestMs_; }
    // Run time at which the tick after the largest delay came.
    double LargestAtMs() const { return largestAtMs_; }

  private:
    void Tick() {
        const std::int64_t now = clock_.nsecsElapsed();
        const double gapMs = static_cast<double>(now - last_) / 1e6;
        last_ = now;
        const double delay = std::max(0.0, gapMs - kTickMs);
        delaysMs_.push_back(delay);
        if (delay > largestMs_) {
            largestMs_ = delay;
            largestAtMs_ = static_cast<double>(now) / 1e6;
        }
    }

    const QElapsedTimer& clock_;
    QTimer timer_;
    std::int64_t last_ = 0;
    std::vector<double> delaysMs_;
    double largestMs_ = 0;
    double largestAtMs_ = 0;
};

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[index];
}

void ConnectCounters(ServiceSession& session, QObject* context, const QElapsedTimer& clock,
                     Reports& reports) {
    const auto now = [&clock] { return static_cast<double>(clock.nsecsElapsed()) / 1e6; };
    QObject::connect(&session, &ServiceSession::Connected, context, [&reports, now] {
        if (reports.connected++ == 0) {
            reports.connectedAtMs = now();
        }
    });
    QObject::connect(&session, &ServiceSession::Enumerated, context,
                     [&reports, now](const TableSnapshot&, int controllers) {
                         if (reports.enumerated++ == 0) {
                             reports.enumeratedAtMs = now();
                         }
                         reports.controllers = controllers;
                     });
    QObject::connect(&session, &ServiceSession::PollStarted, context,
                     [&reports] { ++reports.pollsStarted; });
    QObject::connect(&session, &ServiceSession::EventsHandled, context, [&reports, now] {
        if (reports.cyclesHandled++ == 0) {
            reports.firstCycleAtMs = now();
        }
    });
    QObject::connect(&session, &ServiceSession::Popup, context,
                     [&reports](const std::string& text, Severity, int) {
                         if (reports.popups++ == 0) {
                             reports.firstPopup = text;
                         }
                     });
    // Every report the window receives, whatever it is.
    const auto count = [&reports] { ++reports.all; };
    QObject::connect(&session, &ServiceSession::Connected, context, count);
    QObject::connect(&session, &ServiceSession::ServiceConfigRead, context, count);
    QObject::connect(&session, &ServiceSession::Enumerated, context, count);
    QObject::connect(&session, &ServiceSession::Disconnecting, context, count);
    QObject::connect(&session, &ServiceSession::Disconnected, context, count);
    QObject::connect(&session, &ServiceSession::Popup, context, count);
    QObject::connect(&session, &ServiceSession::Balloon, context, count);
    QObject::connect(&session, &ServiceSession::TrayTipChanged, context, count);
    QObject::connect(&session, &ServiceSession::PollStarted, context, count);
    QObject::connect(&session, &ServiceSession::RebuildProgressed, context, count);
    QObject::connect(&session, &ServiceSession::TableChanged, context, count);
    QObject::connect(&session, &ServiceSession::EventLogged, context, count);
    QObject::connect(&session, &ServiceSession::ControllerReRead, context, count);
    QObject::connect(&session, &ServiceSession::EventsHandled, context, count);
    QObject::connect(&session, &ServiceSession::ErrorLogEntry, context, count);
    QObject::connect(&session, &ServiceSession::ReconnectDue, context, count);
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: %s [--seconds N] [--late_ms N]\n", argv[0]);
        return 2;
    }
    bench::PrivateFolder folder("veltrix-responsiveness");
    ::chmod(folder.Path().c_str(), 0700);
    ::setenv(transport::kPipeDirVariable, folder.Path().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", folder.Path().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    // The program's texts, as the program has them.
    veltrix::TextCatalogue::Install(&app);
    QApplication::setQuitOnLastWindowClosed(false);

    // Two controllers and nothing happening; every reply late, the login's too.
    sim::Scenario scenario = sim::TwoControllerScenario();
    if (options->lateMs > 0) {
        const auto late = static_cast<std::uint32_t>(options->lateMs);
        scenario.faults.push_back(
            {.code = sim::kLoginFaultCode, .kind = sim::FaultSpec::Kind::Late, .delayMs = late});
        scenario.faults.push_back({.code = sim::kAnyCommandFaultCode,
                                   .kind = sim::FaultSpec::Kind::Late,
                                   .delayMs = late});
    }
    sim::ServiceSim service(std::move(scenario));
    // Requests by code, counted on the service's thread and read after it has stopped.
    std::map<std::uint32_t, int> requests;
    int logins = 0;
    service.SetMessageObserver([&requests, &logins](const sim::TranscriptEntry& entry) {
        if (entry.login) {
            ++logins;
        } else {
            ++requests[entry.code];
        }
    });
    sim::ServiceSimOptions simOptions;
    simOptions.pipeDir = folder.Path();
    simOptions.manualClock = true;    // the scenario stands still; the lateness is real time
    simOptions.transcriptLimit = 16;  // the observer counts; the transcript is not read
    service.Start(simOptions);

    ResetMemberCursor();
    ClientSettings settings;
    settings.password = "kavo";
    settings.hostName = ".";
    settings.autoConnect = true;  // connects 3 s after the window starts
    settings.startMinimized = false;
    AnsweringUi ui;
    CountingTrayHost tray;
    QElapsedTimer clock;
    clock.start();
    Reports reports;
    auto window = std::make_unique<MainWindow>(settings, ui, tray);
    ConnectCounters(window->Session(), window.get(), clock, reports);
    TickRecorder ticks(clock);
    ticks.Start();
    window->Initialize();
    window->show();

    // A loop of its own: QApplication::quit() would close the window first, and the
    // window's close is the Exit path.
    QEventLoop loop;
    QTimer::singleShot(options->seconds * 1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    ticks.Stop();
    const double runMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const bool connected = window->Monitor().IsConnected();
    const std::size_t popupsWaiting = window->Popups().Size();

    // The Exit path's part for the session: log off and end its thread.
    QElapsedTimer exitClock;
    exitClock.start();
    window.reset();
    const double exitMs = static_cast<double>(exitClock.nsecsElapsed()) / 1e6;
    service.Stop();

    const std::vector<double>& delays = ticks.DelaysMs();
    const auto over = [&delays](double ms) {
        return std::count_if(delays.begin(), delays.end(), [ms](double d) { return d > ms; });
    };
    std::printf(
        "window responsiveness: %d s, every reply %d ms late (login included), %zu "
        "ticks of %d ms\n",
        options->seconds, options->lateMs, delays.size(), kTickMs);
    std::printf(
        "  tick delay beyond %d ms: largest %.1f ms (at %.0f ms), p99 %.1f ms, "
        "median %.2f ms\n",
        kTickMs, ticks.LargestMs(), ticks.LargestAtMs(), Percentile(delays, 0.99),
        Percentile(delays, 0.5));
    std::printf("  ticks delayed over 16 ms: %td, over 50 ms: %td, over 200 ms: %td\n", over(16),
                over(50), over(200));
    std::printf(
        "  session: connected %s (logins %d, first at %.0f ms), enumerated %d times "
        "(%d controllers, first at %.0f ms)\n",
        connected ? "yes" : "NO", reports.connected, reports.connectedAtMs, reports.enumerated,
        reports.controllers, reports.enumeratedAtMs);
    std::printf(
        "  poll cycles: %d started, %d with their events handled (first at %.0f ms); "
        "%d reports in all over %.0f ms\n",
        reports.pollsStarted, reports.cyclesHandled, reports.firstCycleAtMs, reports.all, runMs);
    std::printf("  popups reported %d, waiting %zu; message boxes %zu; tray calls %zu\n",
                reports.popups, popupsWaiting, ui.messages.size(), tray.calls);
    if (!reports.firstPopup.empty()) {
        std::printf("  first popup: %s\n", reports.firstPopup.c_str());
    }
    for (const std::string& message : ui.messages) {
        std::printf("  message box: %s\n", message.c_str());
    }
    int total = 0;
    std::string byCode;
    for (const auto& [code, count] : requests) {
        total += count;
        byCode.append(" ").append(std::to_string(code)).append("x").append(std::to_string(count));
    }
    std::printf("  service received %d login(s) and %d requests, by code:%s\n", logins, total,
                byCode.c_str());
    std::printf("  exit path (logoff, session thread ended): %.0f ms\n", exitMs);
    std::printf("largest tick delay %.1f ms (target under %.0f ms) %s\n", ticks.LargestMs(),
                kTargetMs, ticks.LargestMs() < kTargetMs ? "ok" : "ABOVE TARGET");
    return connected ? 0 : 1;
}
