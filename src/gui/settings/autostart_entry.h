#pragma once
// The program's XDG autostart entry: `$XDG_CONFIG_HOME/autostart/com.kavotronik.Veltrix.desktop`
// (`~/.config` without the variable), which the desktop reads at login to start the
// program; with "Start minimized" it then starts in the notification area. Only the
// user's own folder is touched, nothing system-wide.

#include <QString>

namespace veltrix {

class AutostartEntry {
  public:
    // `folder`: where the entry lives (DefaultFolder()); `program`: what it starts.
    AutostartEntry(QString folder, QString program);

    // `$XDG_CONFIG_HOME/autostart`, or `~/.config/autostart`.
    static QString DefaultFolder();

    QString Path() const;
    // The entry is there and not switched off (`Hidden=true`).
    bool IsEnabled() const;
    // Writes the entry (whole or not at all) or removes it; false, with the reason in
    // `error`, when that failed.
    bool SetEnabled(bool enabled, QString* error = nullptr) const;

  private:
    QString folder_;
    QString program_;
};

}  // namespace veltrix
