#pragma once
// The menu's Help: the user guide as the package installs it beside the program
// (<prefix>/share/doc/veltrix/user-guide.md for <prefix>/bin/veltrix), shown by the
// desktop's viewer for it.

#include <QString>
#include <functional>

class QUrl;

namespace veltrix {

namespace platform {
class DialogUi;
}

// Hands a URL to the desktop, which starts a viewer for it without the window waiting;
// false when nothing could open it.
using UrlOpener = std::function<bool(const QUrl&)>;

// The desktop's own opener (QDesktopServices::openUrl).
UrlOpener DesktopUrlOpener();

// Where the package installs the user guide, seen from the running program's folder.
QString InstalledUserGuidePath();

// Opens the guide at `path` through `open`; when there is no file there or nothing
// opens it, says so through `ui`, naming the path.
void RunUserGuideCommand(platform::DialogUi& ui, const QString& path, const UrlOpener& open);

}  // namespace veltrix
