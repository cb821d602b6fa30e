#include "gui/mainwindow/main_window.h"

#include <syslog.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/about/about_command.h"
#include "gui/diagram/diagram_pictures.h"
#include "gui/hostlist/host_list_view.h"
#include "gui/hostview/status_list.h"
#include "gui/mail/mail_settings_command.h"
#include "gui/mainwindow/popup_presenter.h"
#include "gui/platform/first_paint_gate.h"
#include "gui/platform/menu.h"
#include "gui/platform/service_mode.h"
#include "gui/resources/icons.h"
#include "gui/resources/main_menu.h"
#include "gui/resources/main_window_ids.h"
#include "gui/settings/host_log_file_command.h"
#include "gui/settings/popup_settings_command.h"
#include "gui/settings/service_password_command.h"
#include "gui/shell/event_journal.h"
#include "gui/shell/sleep_watcher.h"
#include "session/qt_time_source.h"
#include "texts/string_ids.h"
#include "texts/strings.h"

namespace veltrix {

namespace {

constexpr int kReconnectAtStartMs = 3000;

constexpr int kHideAtStartMs = 200;

}  // namespace

MainWindow::MainWindow(ClientSettings settings, platform::DialogUi& ui, shell::TrayHost& trayHost,
                       TimeSource* time, DiagramView* diagram, QWidget* parent,
                       UserQuestions* questions)
    : QDialog(parent),
      settings_(std::move(settings)),
      ui_(ui),
      time_(time),
      tray_(trayHost, *this),
      guiQuestions_(ui, this),
      questions_(questions != nullptr ? *questions : guiQuestions_),
      monitorTime_(time),
      monitor_(hostList_.At(hostList_.Add(std::make_unique<HostMonitor>(questions_, time)))),
      view_(BuildMainWindowView(
          *this, {&monitor_->Devices(), &monitor_->RaidSets(), &monitor_->Events()})),
      body_(std::make_unique<HostBody>(*this, view_, *monitor_, diagram)) {
    if (time_ == nullptr) {
        ownTime_ = std::make_unique<QtTimeSource>();
        time_ = ownTime_.get();
    }
    setWindowTitle(
        //% "Kavotronik Veltrix"
        qtTrId("main.title"));
    // The window and its dialogs are modal to nothing; the program lives in it.
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    BuildMenu();
    ConnectControls();
    monitor_->Session().SetAutoConnect(settings_.autoConnect);
    // The system's sleep and resume arrive as power events; while logged in, the sleep
    // waits for the logoff. Without a system bus there are none and the program runs on.
    // The bus is joined once the window has painted.
    sleep_ = new shell::SleepWatcher([this](PowerEvent event) { OnPowerEvent(event); }, this);
    platform::FirstPaintGate::Defer(*this, *sleep_, [this] { sleep_->ListenToSystemBus(); });
    monitor_->SetEntry(FirstEntry());
    WireHost(*monitor_);
    BindMonitor();
    events_.AddHost(monitor_->Name(), monitor_->Events());
    view_.hostList->SetHosts(&hostList_);
    connect(view_.hostList, &HostListView::HostChosen, this, &MainWindow::ShowHost);
    connect(&hostList_, &HostList::WorstChanged, this, &MainWindow::ShowHostsInTray);
    connect(&hostList_, &HostList::dataChanged, this, &MainWindow::ShowHostsInTray);
    connect(&hosts_, &HostsCommand::HostsChanged, this, &MainWindow::SetHosts);
}

MainWindow::~MainWindow() {
    // The window hears nothing more of the host while its parts go.
    delete binding_;
    body_.reset();
    view_.hostList->SetHosts(nullptr);
    guiQuestions_.Abandon();
    ShutdownHosts();
}

void MainWindow::BuildMenu() {
    menu_ = platform::Menu::CreateBar(MainMenuTemplate(), this, nullptr);
    layout()->setMenuBar(menu_->Bar());
    const auto on = [this](int id, auto handler) {
        connect(menu_->Action(id), &QAction::triggered, this, handler);
    };
    on(menu_id::kExit, [this] { ExitProgram(); });
    // Ctrl+Q is Exit's key: the same Exit path as the menu item.
    menu_->Action(menu_id::kExit)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Autoconnect's check is the settings' host's.
    toggles_ = new StartupToggles(
        settings_, *menu_, [this]() -> HostMonitor& { return *hostList_.At(0); },
        [this](const std::string& text) { ReportError(text); }, this);
    // Each feature's command, given the host shown.
    const auto connected = [this] { return monitor_->IsConnected(); };
    const auto version = [this] { return static_cast<std::uint32_t>(monitor_->ServiceVersion()); };
    const auto notConnected = [this] { ui_.ShowMessage(LoadString(ids::kHostNotConnected)); };
    on(menu_id::kKeepPasswordInKeyring, [this] { keyring_.Toggle(); });
    on(menu_id::kShowErrorLog, [this] { errorLog_.Run(); });
    on(menu_id::kHosts, [this] { hosts_.Run(); });
    on(menu_id::kEvents, [this] { events_.Open(); });
    on(menu_id::kBiosUpdate, [this] {
        bios_.Run(*monitor_, {monitor_->IsConnected(), monitor_->ControllerCount(),
                              body_->State().currentController, monitor_->ServiceVersion(),
                              monitor_->Entry().address});
    });
    on(menu_id::kPopup, [this] { RunPopupSettingsCommand(ui_, settings_, this); });
    on(menu_id::kEmail, [=, this] {
        connected() ? StartMailSettingsCommand(*monitor_, ui_, version(), this) : notConnected();
    });
    on(menu_id::kLogFile, [=, this] {
        StartHostLogFileCommand(*monitor_, connected(), monitor_->Entry().address, ui_, this);
    });
    on(menu_id::kPassword, [=, this] {
        HostMonitor* m = monitor_;
        const bool first = m == hostList_.At(0);
        StartServicePasswordCommand(
            {*m, connected(), first ? settings_.password : m->Entry().password,
             [this, m = QPointer<HostMonitor>(m)](const std::string& password, bool sent) {
                 if (m) {
                     KeepPassword(*m, password, sent);
                 }
             }},
            ui_, this);
    });
    on(menu_id::kAbout, [this] {
        RunAboutCommand(ui_, ownVersion_.Version(),
                        {monitor_->IsConnected(), monitor_->Config(), monitor_->ServiceVersion()},
                        this);
    });
    on(menu_id::kHelp, [this] { RunUserGuideCommand(ui_, userGuidePath_, openUrl_); });
}

void MainWindow::Choose(int menuItemId) {
    menu_->Action(menuItemId)->trigger();
}

void MainWindow::UseKeyring(const QString& service) {
    keyring_.Start(service, *this, *menu_);
    connect(&keyring_, &KeyringToggle::PasswordRead, view_.password, &QLineEdit::setText);
    connect(&keyring_, &KeyringToggle::Noted, this, [this](const QString& text) {
        if (journal_ != nullptr) {
            journal_->Send({.message = text.toStdString(), .priority = LOG_NOTICE});
        }
    });
}

void MainWindow::ConnectControls() {
    connect(view_.connect, &QPushButton::clicked, this, &MainWindow::OnConnect);
    connect(view_.disconnect, &QPushButton::clicked, this, &MainWindow::Disconnect);
    connect(view_.ende, &QPushButton::clicked, this, &MainWindow::ExitProgram);
    // H reaches the window also from the fields and lists that take keys themselves.
    for (QWidget* field :
         std::initializer_list<QWidget*>{view_.host, view_.password, view_.devices, view_.sets}) {
        field->installEventFilter(this);
    }
}

void MainWindow::Initialize() {
    if (initialized_) {
        return;
    }
    initialized_ = true;
    setWindowIcon(ProgramIcon(icon_id::kConnected));
    ownVersion_.Set(OwnProductVersion());

    view_.tabs->blockSignals(true);
    while (view_.tabs->count() > 0) {
        view_.tabs->removeTab(0);
    }
    view_.tabs->addTab(QStringLiteral("---"));
    view_.tabs->blockSignals(false);
    monitor_->Events().Clear();
    {
        const QSignalBlocker blocker(view_.priority);
        view_.priority->setRange(0, 100);
    }
    view_.priority->setTickInterval(10);
    view_.progress->setRange(0, 100);

    // The fields show the stored host and password.
    view_.host->setText(QString::fromStdString(settings_.hostName));
    view_.password->setText(QString::fromStdString(settings_.password));

    tray_.Icon().trayTip = LoadString(ids::kTipNotConnected);
    tray_.Icon().AddTrayIcon(monitor_->IsConnected());
    if (popupWindows_) {
        popupPresenter_ = std::make_unique<PopupPresenter>(popups_, this);
        popupPresenter_->SetEventsOpener([this] { events_.Open(); });
    }

    if (settings_.autoConnect) {
        hostList_.At(0)->Session().ArmReconnect(kReconnectAtStartMs);
    }
    for (int row = 1; row < hostList_.Count(); ++row) {
        ArmFurtherHost(*hostList_.At(row));
    }
    ShowHostsInTray();
    view_.hostList->MarkShown(hostList_.RowOf(monitor_));
    toggles_->ShowChecks();
    if (settings_.startMinimized) {
        tray_.MinimizeAfter(kHideAtStartMs, *time_);
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    Initialize();
    QDialog::showEvent(event);
}

void MainWindow::reject() {
    // Esc leaves the hidden service mode and nothing else.
    platform::ResetServiceMode();
}

void MainWindow::accept() {
    // Return presses the default button (Connect) when it can; nothing else ends
    // the window.
    if (view_.connect->isEnabled()) {
        view_.connect->click();
    }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_H) {
        body_->ToggleFirstSet();
    }
    QDialog::keyPressEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The fields and lists take H themselves (a letter, a search): the toggle runs
    // first and the key goes on to them.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_H) {
        body_->ToggleFirstSet();
    }
    return QDialog::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The close button ends the program through its Exit path, never the bare window.
    event->ignore();
    CloseFromSystem();
}

void MainWindow::CloseFromSystem() {
    platform::serviceKeyState = 0;
    if (monitor_->IsConnected()) {
        Disconnect();
    }
    tray_.Icon().DeleteTrayIcon();
    ExitProgram();
}

void MainWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        // Minimising, maximising and restoring are commands of the window's system menu.
        platform::serviceKeyState = 0;
    }
    if (event->type() == QEvent::WindowStateChange && isMinimized() &&
        tray_.Icon().Host().IsAvailable()) {
        // Minimising leaves no taskbar button: the window goes to the notification
        // area. Hidden after the state change has been handled.
        QTimer::singleShot(0, this, [this] {
            setWindowState(windowState() & ~Qt::WindowMinimized);
            hide();
        });
    }
}

void MainWindow::ReportEvent(const std::string& text, Severity severity, int level,
                             const std::string& hostName) {
    if ((level > settings_.popupLevel && settings_.popupEnabled) || level == 255) {
        popups_.Push(text, severity, hostName);
    }
}

void MainWindow::ReportError(const std::string& text) {
    ReportEvent(text, Severity::Warning, 255);
}

void MainWindow::ExitProgram() {
    // Cutting a run short could leave the flash ROM erased: the Exit path runs when
    // the run has ended.
    if (bios_.DeferUntilRunEnds([this] { ExitProgram(); })) {
        return;
    }
    // No popup opens on the way out.
    popupPresenter_.reset();
    // The file keeps the password unless the keyring has confirmed it holds it.
    settings_.passwordInKeyring = keyring_.HoldsPassword();
    if (settings_.passwordInKeyring) {
        settings_.keyringChoice = password::KeyringChoice::Keyring;
    }
    if (settingsWriter_) {
        settingsWriter_(settings_);
    }
    // Logs off when connected; no box of the session waits for an answer any more.
    guiQuestions_.Abandon();
    ShutdownHosts();
    // What the logoffs reported (the display reset, its balloon) comes before the icon
    // goes, as the user would see it.
    for (int row = 0; row < hostList_.Count(); ++row) {
        QCoreApplication::sendPostedEvents(&hostList_.At(row)->Reports());
    }
    tray_.Icon().DeleteTrayIcon();
    done(QDialog::Accepted);
}

}  // namespace veltrix
