#include "status/password_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSettings>
#include <QStringList>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace veltrix::status {

namespace {

// A password file is a line; anything larger is not one.
constexpr std::size_t kMaxPasswordFileSize = 4096;

constexpr char kOrganization[] = "KavotronikVeltrix";
constexpr char kApplication[] = "Veltrix";
constexpr char kGroup[] = "SettingsGUI";
constexpr char kPasswordKey[] = "DPPW";

// The user's own settings file only, as the desktop program reads it.
class SettingsFile {
  public:
    SettingsFile()
        : settings_(QSettings::NativeFormat, QSettings::UserScope, kOrganization, kApplication) {
        settings_.setFallbacksEnabled(false);
    }
    QSettings* operator->() { return &settings_; }

  private:
    QSettings settings_;
};

void CheckLength(PasswordLookup& lookup) {
    if (lookup.password && lookup.password->size() > kMaxPasswordLength) {
        lookup.warnings.push_back("the password from " + lookup.source + " is longer than " +
                                  std::to_string(kMaxPasswordLength) +
                                  " characters; the login carries only the first " +
                                  std::to_string(kMaxPasswordLength));
    }
}

std::optional<std::string> ReadPasswordFile(const std::string& path, PasswordLookup& lookup) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        lookup.error = "cannot open password file " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat info {};
    std::string content;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
              static_cast<std::size_t>(info.st_size) <= kMaxPasswordFileSize;
    if (!ok) {
        lookup.error = "password file " + path + " is not a regular file of at most " +
                       std::to_string(kMaxPasswordFileSize) + " bytes";
    } else {
        if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
            lookup.warnings.push_back("password file " + path +
                                      " can be read by other users; make it mode 0600");
        }
        char buffer[kMaxPasswordFileSize + 1];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof(buffer));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                lookup.error = "cannot read password file " + path + ": " + std::strerror(errno);
                ok = false;
                break;
            }
            if (got == 0) {
                break;
            }
            content.append(buffer, static_cast<std::size_t>(got));
            if (content.size() > kMaxPasswordFileSize) {
                lookup.error = "password file " + path + " is larger than " +
                               std::to_string(kMaxPasswordFileSize) + " bytes";
                ok = false;
                break;
            }
        }
    }
    ::close(fd);
    if (!ok) {
        return std::nullopt;
    }
    std::string why;
    auto password = PasswordFromFileContent(content, why);
    if (!password) {
        lookup.error = "password file " + path + ": " + why;
    }
    return password;
}

}  // namespace

std::optional<std::string> PasswordFromFileContent(const std::string& content, std::string& error) {
    std::string line = content.substr(0, content.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (line.find('\0') != std::string::npos) {
        error = "the password contains a NUL byte";
        return std::nullopt;
    }
    if (line.empty()) {
        error = "the first line is empty";
        return std::nullopt;
    }
    return line;
}

std::string SettingsFilePath() {
    SettingsFile file;
    return file->fileName().toStdString();
}

PasswordLookup FindPassword(const std::string& passwordFile) {
    PasswordLookup lookup;
    if (!passwordFile.empty()) {
        lookup.source = "--password-file";
        lookup.password = ReadPasswordFile(passwordFile, lookup);
        CheckLength(lookup);
        return lookup;
    }
    if (const char* variable = std::getenv("VELTRIX_PASSWORD");
        variable != nullptr && *variable != '\0') {
        lookup.source = "VELTRIX_PASSWORD";
        lookup.password = variable;
        CheckLength(lookup);
        return lookup;
    }
    SettingsFile file;
    lookup.source = file->fileName().toStdString();
    if (file->status() == QSettings::NoError) {
        file->beginGroup(QString::fromLatin1(kGroup));
        const QVariant value = file->value(QString::fromLatin1(kPasswordKey));
        if (value.isValid()) {
            // An unquoted comma in a hand-edited file makes the value a list.
            lookup.password = value.typeId() == QMetaType::QStringList
                                  ? value.toStringList().join(QLatin1Char(',')).toStdString()
                                  : value.toString().toStdString();
        }
    }
    if (!lookup.password) {
        lookup.error =
            "no password: give --password-file FILE, set VELTRIX_PASSWORD, or let the "
            "desktop program save one in " +
            lookup.source;
    }
    CheckLength(lookup);
    return lookup;
}

}  // namespace veltrix::status
