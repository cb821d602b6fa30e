#include "gui/settings/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <QStringList>
#include <string>
#include <utility>

#include "gui/platform/gui_log.h"

namespace veltrix {

namespace {

constexpr const auto& kGroup = password::kSettingsGroup;
constexpr const auto& kPassword = password::kPasswordKey;
constexpr char kHostName[] = "ServerHostname";
constexpr char kPopupLevel[] = "Popup";
constexpr char kPopupEnabled[] = "PopupAktiv";
constexpr char kAutoConnect[] = "Autoconnect";
constexpr char kStartMinimized[] = "StartMinimized";

// Far more than the few lines the program writes; anything larger is not its file.
constexpr qint64 kMaxFileSize = 64 * 1024;

constexpr mode_t kPrivateFile = S_IRUSR | S_IWUSR;
constexpr mode_t kPrivateFolder = S_IRWXU;

// Only the user's own file: no organisation-wide or system-wide fallbacks.
class SettingsFile {
  public:
    SettingsFile()
        : settings_(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganization,
                    kSettingsApplication) {
        settings_.setFallbacksEnabled(false);
    }
    QSettings& operator*() { return settings_; }
    QSettings* operator->() { return &settings_; }

  private:
    QSettings settings_;
};

std::string ReadString(QSettings& settings, const char* key, const std::string& fallback) {
    const QVariant value = settings.value(QString::fromLatin1(key));
    if (!value.isValid()) {
        return fallback;
    }
    // An unquoted comma in a hand-edited file makes the value a list.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    }
    return value.toString().toStdString();
}

int ReadInt(QSettings& settings, const char* key, int fallback) {
    bool ok = false;
    const int value = settings.value(QString::fromLatin1(key)).toInt(&ok);
    return ok ? value : fallback;
}

// The folder is made private before anything is written into it: Qt writes through
// a temporary file beside the real one, and inside a folder only the owner can
// enter that file is never within reach of others, whatever its mode for a moment.
void MakeFolderPrivate(const QString& folder) {
    QDir().mkpath(QFileInfo(folder).path());
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), kPrivateFolder);  // fails harmlessly when it exists
    struct stat info {};
    if (::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
        info.st_uid == ::geteuid() && (info.st_mode & 07777) != kPrivateFolder) {
        ::chmod(path.constData(), kPrivateFolder);
    }
}

// The file exists with mode 0600 before Qt replaces it: Qt gives its temporary file
// the mode of the existing file from the start, where a new file would get the
// process's default mode.
void MakeFilePrivate(const QString& file) {
    const int fd = ::open(QFile::encodeName(file).constData(),
                          O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, kPrivateFile);
    if (fd < 0) {
        return;  // a folder in its place, no permission: the write fails below
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        ::fchmod(fd, kPrivateFile);
    }
    ::close(fd);
}

// Why the file cannot be taken as settings; empty when it can, or when there is none
// (or an empty one: a save that was cut short before its first write leaves that).
// The program writes UTF-8 text that ends with a line break and holds its group.
std::string ProblemWith(QSettings& settings) {
    QFile file(settings.fileName());
    if (!file.exists()) {
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return "cannot be read";
    }
    const QByteArray content = file.read(kMaxFileSize + 1);
    if (content.isEmpty()) {
        return file.error() == QFileDevice::NoError ? std::string() : "cannot be read";
    }
    if (content.size() > kMaxFileSize) {
        return "is too large to be a settings file";
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(content);  // sets hasError() on a bad sequence
    if (utf8.hasError() || content.contains('\0')) {
        return "is corrupt (not text)";
    }
    if (!content.endsWith('\n')) {
        return "is truncated";
    }
    if (settings.status() != QSettings::NoError) {
        return "is corrupt";
    }
    if (!settings.childGroups().contains(QString::fromLatin1(kGroup))) {
        return "holds no settings of this program";
    }
    return {};
}

}  // namespace

ClientSettings LoadSettings() {
    ClientSettings settings;
    SettingsFile file;
    if (const std::string problem = ProblemWith(*file); !problem.empty()) {
        qCWarning(platform::GuiLog, "the settings file %s %s; the default settings are used.",
                  QFile::encodeName(file->fileName()).constData(), problem.c_str());
        return settings;
    }
    if (file->status() != QSettings::NoError) {
        return settings;  // an empty file Qt could not read: a first run's values
    }
    file->beginGroup(QString::fromLatin1(kGroup));
    settings.password = ReadString(*file, kPassword, settings.password);
    // An empty host name is this machine, the default ".".
    if (std::string host = ReadString(*file, kHostName, ""); !host.empty()) {
        settings.hostName = std::move(host);
    }
    settings.popupLevel = ReadInt(*file, kPopupLevel, 2);
    settings.popupEnabled = ReadInt(*file, kPopupEnabled, 1) != 0;
    settings.autoConnect = ReadInt(*file, kAutoConnect, 1) != 0;
    settings.startMinimized = ReadInt(*file, kStartMinimized, 0) != 0;
    file->endGroup();
    settings.keyringChoice = password::FileKeyringChoice(*file);
    return settings;
}

bool SettingsHoldPassword() {
    SettingsFile file;
    return ProblemWith(*file).empty() && file->contains(password::PasswordSettingsKey());
}

void RemoveStoredPassword() {
    SettingsFile file;
    if (!ProblemWith(*file).empty()) {
        return;
    }
    file->remove(password::PasswordSettingsKey());
    file->sync();
}

void StoreKeyringChoice(password::KeyringChoice choice) {
    SettingsFile file;
    if (!QFile::exists(file->fileName()) || !ProblemWith(*file).empty() ||
        choice == password::KeyringChoice::Undecided) {
        return;
    }
    file->setValue(password::KeyringChoiceSettingsKey(),
                   choice == password::KeyringChoice::Keyring ? 1 : 0);
    file->sync();
}

bool ReadSettingsFile(const std::function<void(QSettings&)>& read) {
    SettingsFile file;
    if (!QFile::exists(file->fileName()) || !ProblemWith(*file).empty() ||
        file->status() != QSettings::NoError) {
        return false;
    }
    read(*file);
    return true;
}

void EditSettingsFile(const std::function<void(QSettings&)>& edit) {
    SettingsFile file;
    const QString path = file->fileName();
    MakeFolderPrivate(QFileInfo(path).path());
    MakeFilePrivate(path);
    if (file->status() != QSettings::NoError) {
        file->clear();  // what could not be read is replaced as a whole
    }
    edit(*file);
    // Qt writes a temporary file beside the real one, syncs it to disk and renames it
    // over the real one, so a crash leaves the old file or the new one, never half of
    // one. Syncing the folder makes the rename itself durable.
    file->sync();
    const int folder = ::open(QFile::encodeName(QFileInfo(path).path()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

void SaveSettings(const ClientSettings& settings) {
    EditSettingsFile([&settings](QSettings& file) {
        file.beginGroup(QString::fromLatin1(kGroup));
        if (settings.passwordInKeyring) {
            file.remove(QString::fromLatin1(kPassword));
        } else {
            file.setValue(QString::fromLatin1(kPassword),
                          QString::fromStdString(settings.password));
        }
        file.setValue(QString::fromLatin1(kHostName), QString::fromStdString(settings.hostName));
        file.setValue(QString::fromLatin1(kPopupLevel), settings.popupLevel);
        file.setValue(QString::fromLatin1(kPopupEnabled), settings.popupEnabled ? 1 : 0);
        file.setValue(QString::fromLatin1(kAutoConnect), settings.autoConnect ? 1 : 0);
        file.setValue(QString::fromLatin1(kStartMinimized), settings.startMinimized ? 1 : 0);
        if (settings.keyringChoice != password::KeyringChoice::Undecided) {
            file.setValue(QString::fromLatin1(password::kKeyringChoiceKey),
                          settings.keyringChoice == password::KeyringChoice::Keyring ? 1 : 0);
        }
        file.endGroup();
    });
}

}  // namespace veltrix
