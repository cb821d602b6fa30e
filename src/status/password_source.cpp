#include "status/password_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSettings>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "password/keyring_lookup.h"
#include "password/password_location.h"

namespace veltrix::status {

namespace {

// A password file is a line; anything larger is not one.
constexpr std::size_t kMaxPasswordFileSize = 4096;

// A keyring that does not answer within this is given up, and the settings file asked.
constexpr std::chrono::milliseconds kKeyringBound{2000};

// The user's own settings file only, as the desktop program reads it.
class SettingsFile {
  public:
    SettingsFile()
        : settings_(QSettings::NativeFormat, QSettings::UserScope, password::kSettingsOrganization,
                    password::kSettingsApplication) {
        settings_.setFallbacksEnabled(false);
    }
    QSettings* operator->() { return &settings_; }
    QSettings& operator*() { return settings_; }

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

// Where the lookup went, in order, and how to give a password that works from here.
std::string NoPasswordText(const password::KeyringAnswer& keyring, password::KeyringChoice choice,
                           const std::string& settingsPath) {
    using Kind = password::KeyringAnswer::Kind;
    const std::string keyringResult = choice == password::KeyringChoice::File
                                          ? "not asked: the desktop program keeps it in the file"
                                          : password::Describe(keyring, kKeyringBound);
    std::string text =
        "no password: tried --password-file (not given), VELTRIX_PASSWORD (not set), "
        "the keyring (" +
        keyringResult + "), the settings file " + settingsPath +
        " (no password in it); give --password-file FILE or set VELTRIX_PASSWORD";
    const std::string readIt = password::KeyringLookupCommand() + " > FILE";
    if (keyring.kind == Kind::Locked) {
        text +=
            "; the desktop program keeps the password in the keyring, which is locked: "
            "unlock it, or write the password to a file of mode 0600 with: " +
            readIt;
    } else if (choice == password::KeyringChoice::Keyring) {
        text +=
            "; the desktop program keeps the password in the desktop's keyring, out of "
            "reach here: in the desktop session, write it to a file of mode 0600 with: " +
            readIt;
    }
    return text;
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
    const bool fileReadable = file->status() == QSettings::NoError;
    const password::KeyringChoice choice =
        fileReadable ? password::FileKeyringChoice(*file) : password::KeyringChoice::Undecided;
    password::KeyringAnswer keyring;
    if (choice != password::KeyringChoice::File) {
        keyring = password::LookUpKeyringPassword(kKeyringBound);
        if (keyring.kind == password::KeyringAnswer::Kind::Found) {
            lookup.source = "the keyring";
            lookup.password = keyring.password;
            CheckLength(lookup);
            return lookup;
        }
    }
    lookup.source = file->fileName().toStdString();
    if (fileReadable) {
        lookup.password = password::FilePassword(*file);
    }
    if (!lookup.password) {
        lookup.error = NoPasswordText(keyring, choice, lookup.source);
    }
    CheckLength(lookup);
    return lookup;
}

}  // namespace veltrix::status
