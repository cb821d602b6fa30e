// Feeds arbitrary bytes to the start of the program as its settings file: the checks
// that refuse a broken file, then the reading of the values.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QSettings>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "gui/settings/settings_store.h"

namespace {

std::filesystem::path home;

// A configuration folder of its own for the whole run, removed at its end.
std::filesystem::path SettingsPath() {
    static const std::filesystem::path path = [] {
        char pattern[] = "/tmp/veltrix-settings-fuzz-XXXXXX";
        home = ::mkdtemp(pattern);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(home, ignored);
        });
        ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(home.string()));
        const std::filesystem::path folder = home / veltrix::kSettingsOrganization;
        std::filesystem::create_directories(folder);
        return folder / (std::string(veltrix::kSettingsApplication) + ".conf");
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path path = SettingsPath();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    // Qt keeps files it read and reads them again only when their size or time
    // changed: each input gets a time of its own.
    static std::int64_t seconds = 1'000'000'000;
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ++seconds;
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    (void)veltrix::LoadSettings();
    return 0;
}
