#include "gui/settings/autostart_entry.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSettings>
#include <algorithm>
#include <utility>

namespace veltrix {

namespace {

constexpr char kFileName[] = "com.kavotronik.Veltrix.desktop";

// A program path as one argument of Exec: quoted when it holds anything but plain
// characters, with the characters the desktop entry format reserves escaped.
QString ExecArgument(const QString& program) {
    static const QString kPlain =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+,:@");
    const bool plain =
        !program.isEmpty() &&
        std::all_of(program.begin(), program.end(), [](QChar c) { return kPlain.contains(c); });
    if (plain) {
        return program;
    }
    QString quoted;
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
            quoted += QStringLiteral("\\\\");  // escaped once for the quoting, once for the file
        }
        if (c == u'%') {
            quoted += u'%';
        }
        quoted += c;
    }
    return u'"' + quoted + u'"';
}

}  // namespace

AutostartEntry::AutostartEntry(QString folder, QString program)
    : folder_(std::move(folder)), program_(std::move(program)) {}

QString AutostartEntry::DefaultFolder() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config)) {
        config = QDir::homePath() + QStringLiteral("/.config");
    }
    return config + QStringLiteral("/autostart");
}

QString AutostartEntry::Path() const {
    return folder_ + u'/' + QLatin1String(kFileName);
}

bool AutostartEntry::IsEnabled() const {
    if (!QFile::exists(Path())) {
        return false;
    }
    const QSettings entry(Path(), QSettings::IniFormat);
    return entry.value(QStringLiteral("Desktop Entry/Hidden")).toString() != u"true";
}

bool AutostartEntry::SetEnabled(bool enabled, QString* error) const {
    if (!enabled) {
        QFile file(Path());
        if (!file.exists() || file.remove()) {
            return true;
        }
        if (error != nullptr) {
            *error = file.errorString();
        }
        return false;
    }
    QSaveFile file(Path());
    const QString text =
        QStringLiteral(
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Veltrix\n"
            "Comment=Show the RAID controllers' status from the login on\n"
            "Comment[de]=Den Status der RAID-Controller ab der Anmeldung anzeigen\n"
            "Exec=%1\n"
            "Icon=com.kavotronik.Veltrix\n"
            "Terminal=false\n"
            "X-GNOME-Autostart-enabled=true\n")
            .arg(ExecArgument(program_));
    if (!QDir().mkpath(folder_) || !file.open(QIODevice::WriteOnly) ||
        file.write(text.toUtf8()) < 0 || !file.commit()) {
        if (error != nullptr) {
            *error = file.errorString();
        }
        return false;
    }
    return true;
}

}  // namespace veltrix
