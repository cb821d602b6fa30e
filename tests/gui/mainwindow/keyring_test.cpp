// The service password in a Secret Service keyring (gnome-keyring-daemon on the
// private session bus): the settings file's password moved there, read back by the
// next start, changed through the password dialog; without a keyring the file keeps it.

#include <signal.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include "gui/hosts/hosts_dialog.h"
#include "gui/platform/control_id.h"
#include "gui/resources/main_window_ids.h"
#include "gui/settings/host_entries_store.h"
#include "gui/settings/service_password_dialog.h"
#include "gui/settings/settings_store.h"
#include "support/main_window_fixture.h"
#include "support/private_buses.h"
#include "support/program_run.h"

namespace veltrix::testing {
namespace {

class KeyringTest : public MainWindowTest {
  protected:
    void SetUp() override {
        std::string whyNot;
        buses_ = PrivateBuses::Get(whyNot);
        if (buses_ == nullptr) {
            GTEST_SKIP() << whyNot;
        }
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home_->path());
        // Each test starts from no settings file: the keyring choice is kept in it.
        QSettings(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganization,
                  kSettingsApplication)
            .clear();
        service_ = QStringLiteral("VeltrixTest%1").arg(QCoreApplication::applicationPid());
    }
    // One keyring daemon for the suite: the program's keyring library keeps its
    // session with the daemon it first met.
    static void SetUpTestSuite() {
        home_ = new QTemporaryDir;
        keyringProcess_ = new QProcess;
    }
    static void TearDownTestSuite() {
        StopKeyring();
        delete keyringProcess_;
        delete home_;
    }
    static void StopKeyring() {
        if (keyringProcess_->state() != QProcess::NotRunning) {
            keyringProcess_->kill();
            keyringProcess_->waitForFinished();
        }
    }
    // gnome-keyring-daemon with a login keyring, until it owns its bus name; `locked`:
    // the keyring is locked again at once (unlocking it would need a prompt).
    bool StartKeyring(bool locked = false) {
        QDBusConnection bus = QDBusConnection::connectToBus(buses_->sessionAddress, "keyring-test");
        if (keyring_.state() == QProcess::Running) {
            return !locked || Lock(bus);
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home_->path());
        env.insert("XDG_DATA_HOME", home_->path() + "/data");
        env.insert("XDG_RUNTIME_DIR", home_->path());
        env.insert("DBUS_SESSION_BUS_ADDRESS", buses_->sessionAddress);
        keyring_.setProcessEnvironment(env);
        keyring_.start("gnome-keyring-daemon",
                       {"--foreground", "--unlock", "--components=secrets"});
        keyring_.waitForStarted();
        keyring_.write("login-password");
        keyring_.waitForBytesWritten();
        keyring_.closeWriteChannel();
        for (int i = 0; i < 100 && !bus.interface()->isServiceRegistered("org.freedesktop.secrets");
             ++i) {
            QThread::msleep(50);
        }
        return bus.interface()->isServiceRegistered("org.freedesktop.secrets") &&
               (!locked || Lock(bus));
    }
    static bool Lock(QDBusConnection& bus) {
        const QList<QDBusObjectPath> login = {
            QDBusObjectPath("/org/freedesktop/secrets/collection/login")};
        const QDBusMessage reply = bus.call(
            QDBusMessage::createMethodCall("org.freedesktop.secrets", "/org/freedesktop/secrets",
                                           "org.freedesktop.Secret.Service", "Lock")
            << QVariant::fromValue(login));
        return reply.type() == QDBusMessage::ReplyMessage;
    }
    static void WriteFilePassword(const char* password) {
        QSettings file(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganization,
                       kSettingsApplication);
        file.setValue("SettingsGUI/DPPW", password);
    }
    // Lets the keyring's answers come in until `done` or the keyring's bound.
    template <typename Done>
    bool WaitFor(Done done) {
        for (int i = 0; i < 300 && !done(); ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(20);
        }
        return done();
    }
    std::string Field() { return driver().ItemText(control_id::kPassword); }
    // A start of the window with a settings file that holds `filePassword` or none.
    void StartWindow(const char* filePassword) {
        if (filePassword != nullptr) {
            WriteFilePassword(filePassword);
        }
        ClientSettings settings = QuietSettings();
        settings.password = filePassword != nullptr ? filePassword : "qernu";
        settings.keyringChoice = LoadSettings().keyringChoice;
        Start(sim::TwoControllerScenario(), Transport::Local, settings);
        window().UseKeyring(service_);
    }

    // A window started with "kavo" in the file keeps it there, shown, through the
    // keyring's whole bound and the Exit path.
    void ExpectTheFileKeepsThePassword() {
        StartWindow("kavo");
        WaitFor([] { return false; });
        EXPECT_TRUE(SettingsHoldPassword());
        EXPECT_EQ(Field(), "kavo");
        window().ExitProgram();
        EXPECT_TRUE(SettingsHoldPassword());
    }

    const PrivateBuses* buses_ = nullptr;
    QString service_;
    static inline QTemporaryDir* home_ = nullptr;
    static inline QProcess* keyringProcess_ = nullptr;
    QProcess& keyring_ = *keyringProcess_;
};

TEST_F(KeyringTest, PasswordMovesToTheKeyringAndComesBackFromIt) {
    ASSERT_TRUE(StartKeyring()) << keyring_.readAllStandardError().toStdString();
    StartWindow("kavo");
    ASSERT_TRUE(WaitFor([] { return !SettingsHoldPassword(); })) << "moved, then removed";
    EXPECT_TRUE(driver().IsMenuItemChecked(menu_id::kKeepPasswordInKeyring));
    window().ExitProgram();
    EXPECT_FALSE(SettingsHoldPassword());

    StartWindow(nullptr);  // the next start: the file holds none
    ASSERT_TRUE(WaitFor([this] { return Field() == "kavo"; })) << Field();
    Connect();
    ui.onModal = [](QDialog& dialog) {
        for (int id : {ServicePasswordDialog::kOldPasswordId}) {
            platform::FindControl<QLineEdit>(dialog, id)->setText("kavo");
        }
        for (int id :
             {ServicePasswordDialog::kNewPasswordId, ServicePasswordDialog::kRepeatedPasswordId}) {
            platform::FindControl<QLineEdit>(dialog, id)->setText("neu");
        }
        dialog.accept();
        return static_cast<int>(QDialog::Accepted);
    };
    ASSERT_TRUE(driver().UserChoose(menu_id::kPassword));
    WaitFor([] { return false; });  // the write's answer
    window().ExitProgram();
    EXPECT_FALSE(SettingsHoldPassword()) << "the change went to the keyring";

    StartWindow(nullptr);
    EXPECT_TRUE(WaitFor([this] { return Field() == "neu"; })) << Field();
    // Unchecked by the user: back into the file at once.
    window().SetSettingsWriter(SaveSettings);
    ASSERT_TRUE(driver().UserChoose(menu_id::kKeepPasswordInKeyring));
    EXPECT_TRUE(SettingsHoldPassword());
    EXPECT_FALSE(driver().IsMenuItemChecked(menu_id::kKeepPasswordInKeyring));
    EXPECT_EQ(LoadSettings().keyringChoice, password::KeyringChoice::File);
}

// A further host's password goes to a keyring entry of its own and leaves the file;
// the next start gives it back from there.
TEST_F(KeyringTest, AFurtherHostsPasswordHasAnEntryOfItsOwn) {
    ASSERT_TRUE(StartKeyring()) << keyring_.readAllStandardError().toStdString();
    StartWindow("kavo");
    ASSERT_TRUE(WaitFor([] { return !SettingsHoldPassword(); }));
    ui.onModal = [](QDialog& dialog) {
        dialog.show();
        EXPECT_TRUE(WindowDriver(dialog).ClickItem(HostsDialog::kAddButton));
        for (const auto& [id, text] : {std::pair{HostsDialog::kNameEdit, "NAS"},
                                       {HostsDialog::kAddressEdit, "nas7"},
                                       {HostsDialog::kPasswordEdit, "geheim"}}) {
            platform::FindControl<QLineEdit>(dialog, id)->setText(text);
        }
        dialog.accept();
        return dialog.result();
    };
    ASSERT_TRUE(driver().UserChoose(menu_id::kHosts));
    EXPECT_TRUE(WaitFor([] { return !FileHostPassword("nas7"); })) << "moved, then removed";
    EXPECT_EQ(ReadHosts(LoadSettings()).size(), 2U);
    window().ExitProgram();

    StartWindow(nullptr);
    std::string given;
    ui.onModal = [&given](QDialog& dialog) {
        given = static_cast<HostsDialog&>(dialog).Hosts().back().password;
        return static_cast<int>(QDialog::Rejected);
    };
    EXPECT_TRUE(WaitFor([&] { return driver().UserChoose(menu_id::kHosts) && given == "geheim"; }))
        << given;
}

// veltrix-status of the same user finds the password where the window keeps it: in
// the keyring, and in the file while the keyring does not answer (within its bound).
TEST_F(KeyringTest, TheStatusToolReadsWhereTheWindowKeepsThePassword) {
    ASSERT_TRUE(StartKeyring()) << keyring_.readAllStandardError().toStdString();
    service_ = QString::fromLatin1(password::kKeyringService);
    StartWindow("kavo");
    ASSERT_TRUE(WaitFor([] { return !SettingsHoldPassword(); })) << "moved";
    window().ExitProgram();
    const auto status = [this] {
        return RunProgram(VELTRIX_STATUS_PROGRAM, {"--format", "nagios"},
                          {{"VELTRIX_PASSWORD", ""},
                           {"XDG_CONFIG_HOME", home_->path().toStdString()},
                           {"DBUS_SESSION_BUS_ADDRESS", buses_->sessionAddress.toStdString()}},
                          std::chrono::seconds(8));
    };
    const ProgramResult fromKeyring = status();
    EXPECT_EQ(fromKeyring.exitCode, 0) << fromKeyring.err;

    ::kill(static_cast<pid_t>(keyring_.processId()), SIGSTOP);
    const ProgramResult silent = status();
    WriteFilePassword("kavo");
    const ProgramResult fromFile = status();
    ::kill(static_cast<pid_t>(keyring_.processId()), SIGCONT);
    EXPECT_EQ(silent.exitCode, 3);
    EXPECT_NE(silent.err.find("the keyring (no answer within 2000 ms)"), std::string::npos)
        << silent.err;
    EXPECT_EQ(fromFile.exitCode, 0) << fromFile.err;
}

// A locked keyring whose unlock prompt nobody answers refuses the move: the file keeps
// the password, and says so, so that the next start does not ask (and prompt) again.
TEST_F(KeyringTest, ALockedKeyringLeavesThePasswordInTheFile) {
    ASSERT_TRUE(StartKeyring(true)) << keyring_.readAllStandardError().toStdString();
    ExpectTheFileKeepsThePassword();
    EXPECT_EQ(LoadSettings().keyringChoice, password::KeyringChoice::File);

    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
    ExpectTheFileKeepsThePassword();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.filter("settings file").isEmpty()) << warnings.join('\n').toStdString();
    EXPECT_FALSE(driver().IsMenuItemChecked(menu_id::kKeepPasswordInKeyring));
}

// Where no keyring runs nobody refused: a later start tries again.
TEST_F(KeyringTest, WithoutAKeyringTheFileKeepsThePassword) {
    StopKeyring();
    ExpectTheFileKeepsThePassword();
    EXPECT_EQ(LoadSettings().keyringChoice, password::KeyringChoice::Undecided);
}

}  // namespace
}  // namespace veltrix::testing
