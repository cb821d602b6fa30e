// The service password in a Secret Service keyring (gnome-keyring-daemon on the
// private session bus): the settings file's password moved there, read back by the
// next start, changed through the password dialog; without a keyring the file keeps it.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include "gui/platform/control_id.h"
#include "gui/resources/main_window_ids.h"
#include "gui/settings/service_password_dialog.h"
#include "gui/settings/settings_store.h"
#include "support/main_window_fixture.h"
#include "support/private_buses.h"

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
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home_.path());
        service_ = QStringLiteral("VeltrixTest%1").arg(QCoreApplication::applicationPid());
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        if (keyring_.state() != QProcess::NotRunning) {
            keyring_.kill();
            keyring_.waitForFinished();
        }
    }
    // gnome-keyring-daemon with an unlocked login keyring, until it owns its bus name.
    bool StartKeyring() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home_.path());
        env.insert("XDG_DATA_HOME", home_.path() + "/data");
        env.insert("XDG_RUNTIME_DIR", home_.path());
        env.insert("DBUS_SESSION_BUS_ADDRESS", buses_->sessionAddress);
        keyring_.setProcessEnvironment(env);
        keyring_.start("gnome-keyring-daemon", {"--foreground", "--unlock", "--components=secrets"});
        keyring_.write("login-password");
        keyring_.closeWriteChannel();
        QDBusConnection bus = QDBusConnection::connectToBus(buses_->sessionAddress, "keyring-test");
        for (int i = 0; i < 100; ++i) {
            if (bus.interface()->isServiceRegistered("org.freedesktop.secrets")) {
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }
    static void WriteFilePassword(const char* password) {
        QSettings file(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganization,
                       kSettingsApplication);
        file.setValue("SettingsGUI/DPPW", password);
    }
    // Lets the keyring's answers come in until `done` or the keyring's bound.
    template <typename Done>
    bool WaitFor(Done done) {
        for (int i = 0; i < 150 && !done(); ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
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
        Start(sim::TwoControllerScenario(), Transport::Local, settings);
        window().UseKeyring(service_);
    }

    const PrivateBuses* buses_ = nullptr;
    QTemporaryDir home_;
    QString service_;
    QProcess keyring_;
};

TEST_F(KeyringTest, PasswordMovesToTheKeyringAndComesBackFromIt) {
    ASSERT_TRUE(StartKeyring()) << keyring_.readAllStandardError().toStdString();
    StartWindow("kavo");
    ASSERT_TRUE(WaitFor([] { return !SettingsHoldPassword(); })) << "moved, then removed";
    window().ExitProgram();
    EXPECT_FALSE(SettingsHoldPassword());

    StartWindow(nullptr);  // the next start: the file holds none
    ASSERT_TRUE(WaitFor([this] { return Field() == "kavo"; })) << Field();
    Connect();
    ui.onModal = [](QDialog& dialog) {
        for (int id : {ServicePasswordDialog::kOldPasswordId}) {
            platform::FindControl<QLineEdit>(dialog, id)->setText("kavo");
        }
        for (int id : {ServicePasswordDialog::kNewPasswordId,
                       ServicePasswordDialog::kRepeatedPasswordId}) {
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
}

TEST_F(KeyringTest, WithoutAKeyringTheFileKeepsThePassword) {
    StartWindow("kavo");
    WaitFor([] { return false; });
    EXPECT_TRUE(SettingsHoldPassword());
    EXPECT_EQ(Field(), "kavo");
    window().ExitProgram();
    EXPECT_TRUE(SettingsHoldPassword());
}

}  // namespace
}  // namespace veltrix::testing
