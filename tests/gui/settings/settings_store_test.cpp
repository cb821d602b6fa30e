// The settings file: first run, round trips, hand-edited and broken files, and the
// privacy of the file that holds the password.

#include "gui/settings/settings_store.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QSettings>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "gui/settings/host_entries_store.h"

namespace veltrix {
namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

ClientSettings With(void (*change)(ClientSettings&)) {
    ClientSettings settings;
    change(settings);
    return settings;
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
    void WriteFile(const std::string& lines) {
        fs::create_directories(folder());
        std::ofstream(file(), std::ios::binary) << "[SettingsGUI]\n" << lines;
    }

    fs::path home_;
};

TEST_F(SettingsStoreTest, FirstRunGivesDefaultsAndCreatesNothing) {
    EXPECT_EQ(LoadSettings(), ClientSettings{});
    EXPECT_FALSE(fs::exists(folder()));
}

TEST_F(SettingsStoreTest, SavedSettingsReadBack) {
    const ClientSettings cases[] = {
        {},
        With([](ClientSettings& s) {
            s = {" a,b;c=d #e \"f\" \\g ümlaut ", "raid-host.example", 7, false, false, true};
        }),
        With([](ClientSettings& s) {
            s.password.clear();
            s.popupLevel = -1;
        }),
    };
    for (const ClientSettings& settings : cases) {
        SaveSettings(settings);
        EXPECT_EQ(LoadSettings(), settings) << settings.password;
    }
}

TEST_F(SettingsStoreTest, HandEditedValues) {
    const std::pair<const char*, ClientSettings> cases[] = {
        {"ServerHostname=\nDPPW=\n", With([](ClientSettings& s) { s.password.clear(); })},
        {"ServerHostname=nas\nDPPW=a,b\n", With([](ClientSettings& s) {
             s.hostName = "nas";
             s.password = "a,b";
         })},
        {"Popup=abc\nPopupAktiv=x\nAutoconnect=1.5\nStartMinimized=\n", {}},
        {"Popup=9\nPopupAktiv=7\nAutoconnect=0\nStartMinimized=-3\n", With([](ClientSettings& s) {
             s.popupLevel = 9;
             s.autoConnect = false;
             s.startMinimized = true;
         })},
        {"PopupAktiv=0\n", With([](ClientSettings& s) { s.popupEnabled = false; })},
    };
    for (const auto& [lines, expected] : cases) {
        WriteFile(lines);
        EXPECT_EQ(LoadSettings(), expected) << lines;
    }
}

TEST_F(SettingsStoreTest, FlagsAreWrittenBackAsZeroOrOne) {
    WriteFile("PopupAktiv=7\nAutoconnect=-2\nPopup=5\n");
    SaveSettings(LoadSettings());
    QSettings raw(QString::fromStdString(file().string()), QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("SettingsGUI"));
    const std::pair<const char*, const char*> expected[] = {
        {"DPPW", "qernu"},   {"ServerHostname", "."}, {"Popup", "5"},
        {"PopupAktiv", "1"}, {"Autoconnect", "1"},    {"StartMinimized", "0"},
    };
    for (const auto& [key, value] : expected) {
        EXPECT_EQ(raw.value(QLatin1String(key)).toString(), QLatin1String(value)) << key;
    }
}

// A file of one host, as earlier versions wrote it, reads as that one host.
TEST_F(SettingsStoreTest, AFileOfOneHostReadsAsThatHost) {
    const std::pair<const char*, HostEntry> cases[] = {
        {"", {"This computer", ".", "qernu", true}},
        {"ServerHostname=nas7\nDPPW=kavo\nAutoconnect=0\n", {"nas7", "nas7", "kavo", false}},
        {"ServerHostname=nas7:4000\nServerName= Storage \n",
         {"Storage", "nas7:4000", "qernu", true}},
        {"ServerHostname=.\nServerName=\n[Hosts]\nsize=1\n1\\Name=x\n",
         {"This computer", ".", "qernu", true}},
    };
    for (const auto& [lines, expected] : cases) {
        WriteFile(lines);
        EXPECT_EQ(ReadHosts(LoadSettings()), std::vector<HostEntry>{expected}) << lines;
    }
}

// A further host's Autoconnect reads as the first host's does: a hand-written value
// that is not a number keeps the default, on.
TEST_F(SettingsStoreTest, AFurtherHostsAutoconnectReadsAsTheFirstHosts) {
    const std::pair<const char*, bool> cases[] = {{"", true},     {"1", true}, {"0", false},
                                                  {"true", true}, {"2", true}, {"x", true}};
    for (const auto& [value, expected] : cases) {
        WriteFile(
            std::string("ServerHostname=.\n[Hosts]\nsize=1\n1\\Address=nas7\n1\\Autoconnect=") +
            value + "\n");
        const std::vector<HostEntry> hosts = ReadHosts(LoadSettings());
        ASSERT_EQ(hosts.size(), 2u) << value;
        EXPECT_EQ(hosts[1].autoConnect, expected) << value;
    }
}

// The lines of the file's [Hosts] section, without the line that starts the next one.
std::vector<std::string> HostsSection(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with('[')) {
            inside = line == "[Hosts]";
        }
        if (inside && !line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

// Three hosts are written as the first host's keys and an array of two, each further
// password in the file unless the keyring keeps it, and read back as they were.
TEST_F(SettingsStoreTest, ThreeHostsRoundTrip) {
    const std::vector<HostEntry> hosts = {{"Desk", ".", "d", false},
                                          {"Storage", "nas7", "s,1", false},
                                          {"Backup", "backup:4100", "", true}};
    const std::pair<bool, std::vector<std::string>> cases[] = {
        {false,
         {"[Hosts]", "1\\Address=nas7", "1\\Autoconnect=0", "1\\Name=Storage",
          "1\\Password=\"s,1\"", "2\\Address=backup:4100", "2\\Autoconnect=1", "2\\Name=Backup",
          "2\\Password=", "size=2"}},
        {true,
         {"[Hosts]", "1\\Address=nas7", "1\\Autoconnect=0", "1\\Name=Storage",
          "2\\Address=backup:4100", "2\\Autoconnect=1", "2\\Name=Backup", "size=2"}},
    };
    for (const auto& [keyring, section] : cases) {
        ClientSettings first;
        WriteHosts(hosts, first, [keyring](std::size_t i) { return keyring && i > 0; });
        EXPECT_EQ(HostsSection(file()), section);
        EXPECT_EQ(first.hostName, ".");
        EXPECT_FALSE(first.autoConnect);
        std::vector<HostEntry> read = ReadHosts(LoadSettings());
        if (keyring) {
            read[1].password = hosts[1].password;
            EXPECT_EQ(FileHostPassword("nas7"), std::nullopt);
        }
        EXPECT_EQ(read, hosts);
    }
    // Back to one host: no array is left, the first host keeps its name.
    ClientSettings first;
    WriteHosts({hosts[0]}, first, [](std::size_t) { return false; });
    EXPECT_EQ(HostsSection(file()), std::vector<std::string>{});
    EXPECT_EQ(ReadHosts(LoadSettings()), std::vector<HostEntry>{hosts[0]});
}

// Fresh, and after the file and folder were made wider by hand.
TEST_F(SettingsStoreTest, FileAndFolderArePrivate) {
    for (const bool widened : {false, true}) {
        if (widened) {
            ::chmod(file().c_str(), 0644);
            ::chmod(folder().c_str(), 0755);
        }
        SaveSettings({});
        EXPECT_EQ(ModeOf(file()), 0600u) << widened;
        EXPECT_EQ(ModeOf(folder()), 0700u) << widened;
    }
}

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A file the program did not write as it stands gives the defaults and one line on
// standard error that names the file; a sound one gives no line.
TEST_F(SettingsStoreTest, BrokenFileIsNamedOnceOnStandardError) {
    const std::string saved = "[SettingsGUI]\nDPPW=secret\nServerHostname=nas\n";
    const struct {
        const char* name;
        std::string content;
        const char* reason;  // nullptr: read as settings
    } cases[] = {
        {"sound", saved, nullptr},
        {"empty", "", nullptr},
        {"truncated", saved.substr(0, saved.size() - 3), "is truncated"},
        {"binary", std::string("[SettingsGUI]\nDPPW=a\0b\n", 21), "not text"},
        {"not_utf8", "[SettingsGUI]\nDPPW=\xff\xfe\n", "not text"},
        {"foreign", "[General]\ntheme=dark\n[Window]\nwidth=800\n", "holds no settings"},
        {"huge", "[SettingsGUI]\nDPPW=" + std::string(70000, 'x') + "\n", "too large"},
    };
    for (const auto& c : cases) {
        fs::create_directories(folder());
        std::ofstream(file(), std::ios::binary | std::ios::trunc) << c.content;
        ::testing::internal::CaptureStderr();
        const ClientSettings read = LoadSettings();
        const std::string err = ::testing::internal::GetCapturedStderr();
        if (c.reason == nullptr) {
            EXPECT_EQ(err, "") << c.name;
            continue;
        }
        EXPECT_EQ(read, ClientSettings{}) << c.name;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c.name << ": " << err;
        EXPECT_NE(err.find(file().string()), std::string::npos) << c.name << ": " << err;
        EXPECT_NE(err.find(c.reason), std::string::npos) << c.name << ": " << err;
    }
}

// A save that dies while it writes (here: the file size limit kills it) leaves the
// old file as it was; the next save goes through.
TEST_F(SettingsStoreTest, CrashDuringSaveLeavesOldFile) {
    const ClientSettings before = With([](ClientSettings& s) { s.password = "before"; });
    SaveSettings(before);
    const std::string old = Contents(file());

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        SaveSettings(With([](ClientSettings& s) { s.password = std::string(4000, 'n'); }));
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;

    EXPECT_EQ(Contents(file()), old);
    EXPECT_EQ(LoadSettings(), before);
    EXPECT_EQ(ModeOf(file()), 0600u);
    const ClientSettings after = With([](ClientSettings& s) { s.password = "after"; });
    SaveSettings(after);
    EXPECT_EQ(LoadSettings(), after);
}

struct BrokenFile {
    const char* name;
    void (*make)(const fs::path& file);
    bool replaceable;  // whether a save can write over it
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

    SaveSettings(With([](ClientSettings& s) { s.password = "after"; }));
    EXPECT_EQ(LoadSettings().password, GetParam().replaceable ? "after" : "qernu");
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
