// The settings file: first run, round trips, hand-edited and broken files, and the
// privacy of the file that holds the password.

#include "mainwindow/settings_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QSettings>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace veltrix {
namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

// Each test gets its own configuration folder. Qt reads XDG_CONFIG_HOME only once
// per process, so the folder is also handed to QSettings directly.
class SettingsStoreTest : public ::testing::Test {
  protected:
    SettingsStoreTest() {
        char pattern[] = "/tmp/veltrix-settings-XXXXXX";
        home_ = ::mkdtemp(pattern);
        ::setenv("XDG_CONFIG_HOME", home_.c_str(), 1);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(home_.string()));
    }
    ~SettingsStoreTest() override {
        ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ec;
        fs::permissions(folder(), fs::perms::owner_all, ec);
        fs::remove_all(home_, ec);
    }

    fs::path folder() const { return home_ / kSettingsOrganization; }
    fs::path file() const { return folder() / (std::string(kSettingsApplication) + ".conf"); }

    void WriteFile(const std::string& text) {
        fs::create_directories(folder());
        std::ofstream(file(), std::ios::binary) << text;
    }

    // The value as stored, read past the store.
    QString Stored(const char* key) {
        QSettings raw(QString::fromStdString(file().string()), QSettings::IniFormat);
        return raw.value(QStringLiteral("SettingsGUI/") + QLatin1String(key)).toString();
    }

    fs::path home_;
};

TEST_F(SettingsStoreTest, FirstRunGivesDefaultsAndCreatesNothing) {
    EXPECT_EQ(LoadSettings(), ClientSettings{});
    EXPECT_FALSE(fs::exists(folder()));
}

TEST_F(SettingsStoreTest, SavedSettingsReadBack) {
    ClientSettings odd;
    odd.password = " a,b;c=d #e \"f\" \\g ümlaut ";
    odd.hostName = "raid-host.example";
    odd.popupLevel = 7;  // kept as stored, whatever the range
    odd.popupEnabled = false;
    odd.autoConnect = false;
    odd.startMinimized = true;
    ClientSettings negative;
    negative.popupLevel = -1;
    negative.password = "";
    for (const ClientSettings& settings : {ClientSettings{}, odd, negative}) {
        SaveSettings(settings);
        EXPECT_EQ(LoadSettings(), settings) << settings.password;
    }
}

TEST_F(SettingsStoreTest, HandEditedValues) {
    struct Case {
        const char* lines;
        ClientSettings expected;
    };
    const auto with = [](auto change) {
        ClientSettings s;
        change(s);
        return s;
    };
    const Case cases[] = {
        {"ServerHostname=\n", {}},
        {"ServerHostname=nas\nDPPW=kavo\n", with([](auto& s) {
             s.hostName = "nas";
             s.password = "kavo";
         })},
        {"Popup=abc\nPopupAktiv=x\nAutoconnect=1.5\nStartMinimized=\n", {}},
        {"Popup=0\nPopupAktiv=7\nAutoconnect=0\nStartMinimized=-3\n", with([](auto& s) {
             s.popupLevel = 0;
             s.popupEnabled = true;
             s.autoConnect = false;
             s.startMinimized = true;
         })},
        {"PopupAktiv=0\nPopup=9\n", with([](auto& s) {
             s.popupEnabled = false;
             s.popupLevel = 9;
         })},
        {"DPPW=a,b\n", with([](auto& s) { s.password = "a,b"; })},
        {"DPPW=\n", with([](auto& s) { s.password = ""; })},
    };
    for (const Case& c : cases) {
        WriteFile(std::string("[SettingsGUI]\n") + c.lines);
        EXPECT_EQ(LoadSettings(), c.expected) << c.lines;
    }
}

TEST_F(SettingsStoreTest, FlagsAreWrittenBackAsZeroOrOne) {
    WriteFile("[SettingsGUI]\nPopupAktiv=7\nAutoconnect=-2\nStartMinimized=0\nPopup=5\n");
    SaveSettings(LoadSettings());
    EXPECT_EQ(Stored("PopupAktiv"), "1");
    EXPECT_EQ(Stored("Autoconnect"), "1");
    EXPECT_EQ(Stored("StartMinimized"), "0");
    EXPECT_EQ(Stored("Popup"), "5");
    EXPECT_EQ(Stored("ServerHostname"), ".");
    EXPECT_EQ(Stored("DPPW"), "qernu");
}

TEST_F(SettingsStoreTest, FileAndFolderArePrivate) {
    SaveSettings({});
    EXPECT_EQ(ModeOf(file()), 0600);
    EXPECT_EQ(ModeOf(folder()), 0700);

    // Made wider by hand: narrowed again by the next save.
    ::chmod(file().c_str(), 0644);
    ::chmod(folder().c_str(), 0755);
    SaveSettings({});
    EXPECT_EQ(ModeOf(file()), 0600);
    EXPECT_EQ(ModeOf(folder()), 0700);
}

TEST_F(SettingsStoreTest, PreExistingWideFileIsNarrowed) {
    WriteFile("[SettingsGUI]\nDPPW=old\n");
    ::chmod(file().c_str(), 0644);
    ClientSettings settings;
    settings.password = "new";
    SaveSettings(settings);
    EXPECT_EQ(ModeOf(file()), 0600);
    EXPECT_EQ(LoadSettings().password, "new");
}

struct BrokenFile {
    const char* name;
    void (*make)(const fs::path& file);
    bool writable;  // whether a save can replace it
};

class BrokenFileTest : public SettingsStoreTest,
                       public ::testing::WithParamInterface<BrokenFile> {};

TEST_P(BrokenFileTest, ReadsAsDefaultsAndSavesWithoutCrashing) {
    if (std::string(GetParam().name) == "unreadable" && ::geteuid() == 0) {
        GTEST_SKIP() << "the superuser reads any file";
    }
    fs::create_directories(folder());
    GetParam().make(file());
    EXPECT_EQ(LoadSettings(), ClientSettings{});

    ClientSettings settings;
    settings.password = "after";
    SaveSettings(settings);
    EXPECT_EQ(LoadSettings().password, GetParam().writable ? "after" : "qernu");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BrokenFileTest,
    ::testing::Values(
        BrokenFile{"garbage",
                   [](const fs::path& f) {
                       std::ofstream out(f, std::ios::binary);
                       for (int i = 0; i < 4096; ++i) {
                           out.put(static_cast<char>((i * 7919 + 13) % 256));
                       }
                   },
                   true},
        BrokenFile{"unclosed_section",
                   [](const fs::path& f) { std::ofstream(f) << "[SettingsGUI\nDPPW=x\n"; }, true},
        BrokenFile{"folder", [](const fs::path& f) { fs::create_directory(f); }, false},
        BrokenFile{"unreadable",
                   [](const fs::path& f) {
                       std::ofstream(f) << "[SettingsGUI]\nDPPW=x\n";
                       ::chmod(f.c_str(), 0);
                   },
                   false}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace veltrix
