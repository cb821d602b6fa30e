#include "gui/app/application.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "gui/app/command_line.h"
#include "gui/app/single_instance.h"
#include "gui/diagram/diagram_area.h"
#include "gui/mainwindow/main_window.h"
#include "gui/platform/gui_log.h"
#include "gui/platform/language.h"
#include "gui/platform/qt_user_interface.h"
#include "gui/platform/service_mode.h"
#include "gui/resources/icons.h"
#include "gui/resources/main_window_ids.h"
#include "gui/settings/settings_store.h"
#include "gui/shell/event_journal.h"
#include "gui/shell/qt_tray_host.h"
#include "model/file_version_info.h"
#include "password/session_bus_address.h"
#include "session/text_catalogue.h"

namespace veltrix {

namespace {

constexpr char kUsage[] =
    "Usage: Veltrix [--help | --version] [Qt's options]\n"
    "\n"
    "Kavotronik Veltrix shows the RAID controllers of this PC, or of another host, as\n"
    "their monitoring service reports them: controllers, drives, RAID sets and rebuilds,\n"
    "with events as popups and notification-area balloons. It connects to the service,\n"
    "logs in and polls it every 5 seconds.\n"
    "\n"
    "  -h, --help     show this text\n"
    "  -v, --version  show the program's version\n"
    "Qt's own options (such as -platform NAME or -style NAME) are taken as well;\n"
    "any other option or argument is refused (exit status 2).\n"
    "\n"
    "One Veltrix runs per user and display: a second start shows the running one's\n"
    "window and ends.\n"
    "\n"
    "Settings: $XDG_CONFIG_HOME/KavotronikVeltrix/Veltrix.conf\n"
    "          (XDG_CONFIG_HOME defaults to ~/.config)\n"
    "\n"
    "Environment:\n"
    "  VELTRIX_PIPE_DIR   folder of the service's local pipe socket, for host \".\"\n"
    "                     (default /run/kavotronik)\n"
    "  VELTRIX_PIPE_PORT  TCP port of the service on another host (default 47631)\n";

// Shows the main window in front, from the notification area or minimised; whether
// it is shown now.
bool BringToFront(QWidget& window) {
    window.showNormal();
    window.raise();
    window.activateWindow();
    return window.isVisible() && !window.isMinimized();
}

// How often, and how far apart, the Exit path for a signal waits for a nested event
// loop (a reply being awaited, a message box) to end before it goes ahead anyway.
constexpr int kExitRetryMs = 50;
constexpr int kMaxExitRetries = 300;

// The write end of the signal pipe; -1 while no handler is installed.
std::atomic<int> signalWriteFd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

// Only async-signal-safe work: one byte into the pipe, errno left as it was.
extern "C" void OnTerminationSignal(int signalNumber) {
    const int savedErrno = errno;
    const int fd = signalWriteFd.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signalNumber);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

}  // namespace

// SIGTERM and SIGINT through a self-pipe: the handler writes a byte, a socket
// notifier on the GUI thread reads it and calls back there.
class Application::TerminationSignals {
  public:
    explicit TerminationSignals(std::function<void()> onSignal) {
        if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
            return;  // no pipe: the signals keep their default action
        }
        notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                         [this, onSignal = std::move(onSignal)] {
                             unsigned char buffer[16];
                             while (::read(fds_[0], buffer, sizeof buffer) > 0) {
                             }
                             onSignal();
                         });
        signalWriteFd.store(fds_[1]);
        struct sigaction action {};
        action.sa_handler = OnTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, &previousTerm_);
        ::sigaction(SIGINT, &action, &previousInt_);
        installed_ = true;
    }

    ~TerminationSignals() {
        if (installed_) {
            ::sigaction(SIGTERM, &previousTerm_, nullptr);
            ::sigaction(SIGINT, &previousInt_, nullptr);
        }
        signalWriteFd.store(-1);
        notifier_.reset();
        for (const int fd : fds_) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

  private:
    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    struct sigaction previousTerm_ {};
    struct sigaction previousInt_ {};
    bool installed_ = false;
};

// The application object, made once the session bus's address is settled: Qt's tray
// icon, accessibility and the desktop notifications connect to the session bus, and
// none of them may make the D-Bus library start a bus of its own.
namespace {
std::unique_ptr<QApplication> MakeApplicationObject(int& argc, char** argv) {
    password::PinSessionBusAddress();
    return std::make_unique<QApplication>(argc, argv);
}
}  // namespace

Application::Application(int& argc, char** argv) : app_(MakeApplicationObject(argc, argv)) {
    QApplication::setOrganizationName(QString::fromLatin1(kSettingsOrganization));
    QApplication::setApplicationName(QString::fromLatin1(kSettingsApplication));
    QApplication::setApplicationDisplayName(QStringLiteral("Kavotronik Veltrix"));
    QApplication::setApplicationVersion(QString::fromStdString(Version()));
    QApplication::setWindowIcon(ProgramIcon(icon_id::kApplication));
    // The installed desktop entry, so that a Wayland desktop shows its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.kavotronik.Veltrix"));
    // The language is the environment's, for the program's texts and for Qt's own
    // texts, before the first window exists.
    TextCatalogue::Install(app_.get());
    if (!platform::ApplyProgramLanguage(LanguageFromEnvironment(), *app_,
                                        LocaleNameFromEnvironment())) {
        qCWarning(platform::GuiLog, "Qt's own texts stay English (no translation found at %s)",
                  qPrintable(platform::QtTranslationFile(UiLanguage())));
    }
    // The program lives in the notification area: closing its last visible window
    // (a popup while the main window is hidden) must not end it; only the Exit path
    // does.
    QApplication::setQuitOnLastWindowClosed(false);
    signals_ = std::make_unique<TerminationSignals>([this] {
        if (exitRequested_) {
            return;  // already on its way
        }
        exitRequested_ = true;
        if (window_ != nullptr) {
            ExitOnSignal();
        }
    });
}

Application::~Application() = default;

std::optional<int> Application::HandOverToRunningInstance(std::FILE* err) {
    auto instance = std::make_unique<SingleInstance>(SingleInstance::SocketPath());
    switch (instance->Begin()) {
        case SingleInstance::Start::First:
            instance_ = std::move(instance);
            return std::nullopt;
        case SingleInstance::Start::Alone:
            return std::nullopt;
        case SingleInstance::Start::HandedOver:
            return 0;
        case SingleInstance::Start::NoAnswer:
            break;
    }
    std::fputs(
        "veltrix: another Veltrix runs on this display but does not answer; this one ends.\n", err);
    return 1;
}

int Application::Run(const std::function<void(MainWindow&)>& prepare) {
    platform::ResetServiceMode();
    const ClientSettings settings = LoadSettings();

    platform::QtUserInterface ui;
    shell::QtTrayHost trayHost;
    // The diagram view draws the window's records into the window's own picture.
    PictureDiagramView diagram;
    // Before the window: the session's thread writes to it until the window is gone.
    shell::SystemJournal journal;
    MainWindow window(settings, ui, trayHost, nullptr, &diagram);
    window.SetJournal(&journal);
    diagram.SetArea(&window.Diagram());
    ui.SetOwner(&window);
    ui.SetErrorReporter([&window](const std::string& text) { window.ReportError(text); });
    window.SetSettingsWriter(SaveSettings);
    window.UseKeyring();
    // The further hosts the settings keep; they connect once the window has shown.
    window.WatchKeptHosts();
    // A click on a desktop notification, or a second start, shows the window.
    trayHost.onNotificationActivated = [&window] { BringToFront(window); };
    if (instance_) {
        instance_->onShowRequested = [&window] { return BringToFront(window); };
    }
    if (prepare) {
        prepare(window);
    }

    window_ = &window;
    exitRetries_ = 0;
    if (exitRequested_) {
        // A signal came before the window ran: it ends as soon as it has started.
        QTimer::singleShot(0, &window, [this] { ExitOnSignal(); });
    }
    // The window is shown, not run with exec(): hiding a dialog ends its exec(), and
    // the window hides to the notification area (start minimised, the icon's click,
    // minimising) while the program goes on. Only the Exit path ends the window
    // (done(), which emits finished) and with it the application's event loop.
    QObject::connect(&window, &QDialog::finished, app_.get(), &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    QApplication::exec();
    window_ = nullptr;
    if (instance_) {
        instance_->onShowRequested = nullptr;  // a start from now on runs after this one
    }
    return 0;
}

void Application::ExitOnSignal() {
    // A BIOS update run is never cut short: its questions are not closed either (a
    // default No to saving the old BIOS would write without a backup). The Exit path
    // waits for the run's end, however long it takes.
    if (window_->IsFlashRunning()) {
        QTimer::singleShot(kExitRetryMs, window_, [this] { ExitOnSignal(); });
        return;
    }
    // Inside a nested event loop the window is in the middle of something (waiting for
    // a reply, a message box): that ends first, so the Exit path runs at the top level.
    if (QThread::currentThread()->loopLevel() > 1 && exitRetries_ < kMaxExitRetries) {
        ++exitRetries_;
        // The window itself is never modal (it is shown, not run with exec()).
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            } else {
                modal->close();
            }
        }
        QTimer::singleShot(kExitRetryMs, window_, [this] { ExitOnSignal(); });
        return;
    }
    window_->ExitProgram();
}

std::optional<int> Application::AnswerInformationOptions(int argc, char** argv, std::FILE* out,
                                                         std::FILE* err) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(QString::fromLocal8Bit(argv[i]));
    }
    return AnswerCommandLine(arguments, {kUsage, "Veltrix " + Version()}, out, err);
}

std::string Application::Version() {
    // All four numbers, as the package and the version block carry them (the About box
    // leaves a revision of 0 out).
    const ProductVersion& v = OwnProductVersion();
    return std::to_string(v.majorPart) + '.' + std::to_string(v.minorPart) + '.' +
           std::to_string(v.build) + '.' + std::to_string(v.revision);
}

}  // namespace veltrix
