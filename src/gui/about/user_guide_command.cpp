#include "gui/about/user_guide_command.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "gui/platform/dialog_ui.h"

namespace veltrix {

namespace {

// The guide's place relative to the program's folder, as cmake/Packaging.cmake
// installs both.
constexpr char kGuideFromProgram[] = "../share/doc/veltrix/user-guide.md";

}  // namespace

UrlOpener DesktopUrlOpener() {
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

QString InstalledUserGuidePath() {
    return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                               .filePath(QString::fromLatin1(kGuideFromProgram)));
}

void RunUserGuideCommand(platform::DialogUi& ui, const QString& path, const UrlOpener& open) {
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        ui.ShowMessage(
            //% "The user guide is not installed: %1 was not found."
            qtTrId("about.user-guide-not-found").arg(shown).toStdString(), MessageIcon::Warning);
        return;
    }
    if (!open(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()))) {
        ui.ShowMessage(
            //% "No program could open the user guide %1."
            qtTrId("about.user-guide-not-opened").arg(shown).toStdString(), MessageIcon::Warning);
    }
}

}  // namespace veltrix
