// veltrix-guide-pictures: the user guide's pictures, taken from the program itself.
// It starts the program exactly as Veltrix does (settings, service, language from the
// environment), waits until it is connected and shows a rebuild, then saves the main
// window, the desktop notification the connect raised, each window of the menus,
// opened through the window's own menu handlers and closed again as Cancel does, and
// the notification area's icons as the program draws them.
//
//   veltrix-guide-pictures <folder>
//
// Run it on an X server with a notification service on the session bus (the guide's
// script does: Xvfb, a private bus, a notification daemon); every step is bounded and a
// step that does not come to pass ends the run with its name.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "gui/app/application.h"
#include "gui/mainwindow/main_window.h"
#include "gui/platform/control_id.h"
#include "gui/platform/screenshot.h"
#include "gui/resources/icons.h"
#include "gui/resources/main_window_ids.h"

namespace {

constexpr int kTickMs = 100;
constexpr int kStepBoundMs = 60000;
// A window must look the same for this long before its picture is taken (lists that
// fill after the dialog opens, a progress bar that moves).
constexpr int kSettleMs = 1500;

using veltrix::MainWindow;

// One picture of a menu's window: the file it goes to and the menu item that opens
// it (the main window and the notification have steps of their own).
struct Picture {
    const char* file;
    int menuItem;
};

constexpr Picture kMenuWindows[] = {
    {"bios-update.png", veltrix::menu_id::kBiosUpdate},
    {"mail-settings.png", veltrix::menu_id::kEmail},
    {"error-log.png", veltrix::menu_id::kShowErrorLog},
    {"popup-settings.png", veltrix::menu_id::kPopup},
    {"service-password.png", veltrix::menu_id::kPassword},
    {"host-log-file.png", veltrix::menu_id::kLogFile},
    {"about.png", veltrix::menu_id::kAbout},
};

// The notification area's icons, in the guide's order: one host connected and not
// connected; several hosts all well, with a set problem, with a host not reached.
constexpr int kTrayIcons[] = {
    veltrix::icon_id::kConnected,        veltrix::icon_id::kDisconnected,
    veltrix::icon_id::kHostsWell,        veltrix::icon_id::kHostsSetProblem,
    veltrix::icon_id::kHostsUnreachable,
};
constexpr int kTrayIconSize = 32;
constexpr int kTrayIconGap = 16;

// The tray icons side by side on a transparent strip, each as the panel gets it.
QImage TrayIconStrip() {
    constexpr int kCount = static_cast<int>(std::size(kTrayIcons));
    QImage strip(kCount * kTrayIconSize + (kCount - 1) * kTrayIconGap, kTrayIconSize,
                 QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    int x = 0;
    for (const int id : kTrayIcons) {
        painter.drawPixmap(x, 0, veltrix::ProgramPixmap(id, kTrayIconSize));
        x += kTrayIconSize + kTrayIconGap;
    }
    return strip;
}

// The visible top-level dialog other than the main window, if there is one.
QDialog* OpenDialog(const MainWindow& window) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog != nullptr && dialog != &window && dialog->isVisible()) {
            return dialog;
        }
    }
    return nullptr;
}

// The part of the screen's top right corner that is not the empty background: the
// notification daemon's bubble (the main window, at the top left, is narrower than
// two thirds of the screen the script makes).
QImage NotificationBubble() {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen->geometry();
    const QRect corner(area.width() * 2 / 3, 0, area.width() / 3, area.height() / 3);
    const QImage shot =
        screen->grabWindow(0, corner.x(), corner.y(), corner.width(), corner.height()).toImage();
    const QRgb background = shot.pixel(shot.width() - 1, shot.height() - 1);
    QRect used;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (shot.pixel(x, y) != background) {
                used |= QRect(x, y, 1, 1);
            }
        }
    }
    return used.isEmpty() ? QImage() : shot.copy(used);
}

// Runs the pictures one after the other on the window's event loop; each step waits
// for its condition with a bound.
class GuideTour : public QObject {
  public:
    GuideTour(MainWindow& window, QString folder) : window_(window), folder_(std::move(folder)) {
        connect(&ticker_, &QTimer::timeout, this, [this] { Tick(); });
        BuildSteps();
    }

    void Start() { ticker_.start(kTickMs); }
    bool Succeeded() const { return failed_.empty() && next_ == steps_.size(); }

  private:
    struct Step {
        std::string name;
        std::function<bool()> ready;  // polled until true
        std::function<bool()> act;    // false: the step failed
        bool picture = true;          // waits for the window to settle, names a file
    };

    void BuildSteps() {
        steps_.push_back({"tray-icons.png", [] { return true; },
                          [this] { return Save(TrayIconStrip(), "tray-icons.png"); }});
        steps_.push_back({"notification.png", [] { return !NotificationBubble().isNull(); },
                          [this] { return Save(NotificationBubble(), "notification.png"); }});
        steps_.push_back({"main-window.png", [this] { return RebuildShown(); },
                          [this] { return SaveWidget(window_, "main-window.png"); }});
        for (const Picture& picture : kMenuWindows) {
            AddMenuWindow(picture);
        }
    }

    void AddMenuWindow(const Picture& picture) {
        const std::string file = picture.file;
        steps_.push_back({"open " + file, [] { return true; },
                          [this, item = picture.menuItem] {
                              // The handler may run the dialog's own loop; the ticker
                              // goes on inside it.
                              QTimer::singleShot(0, &window_,
                                                 [this, item] { window_.Choose(item); });
                              return true;
                          },
                          false});
        steps_.push_back({file, [this] { return OpenDialog(window_) != nullptr; },
                          [this, file] {
                              QDialog* dialog = OpenDialog(window_);
                              const bool saved = SaveWidget(*dialog, file);
                              dialog->reject();
                              return saved;
                          }});
        steps_.push_back({"close " + file, [this] { return OpenDialog(window_) == nullptr; },
                          [] { return true; }, false});
    }

    bool RebuildShown() const {
        const auto* bar =
            veltrix::platform::FindControl<QProgressBar>(window_, veltrix::control_id::kProgress);
        return bar != nullptr && bar->isVisible() && bar->value() > 0;
    }

    bool SaveWidget(QWidget& widget, const std::string& file) const {
        return veltrix::platform::SavePng(widget, Path(file));
    }
    bool Save(const QImage& image, const std::string& file) const {
        return image.save(QString::fromStdString(Path(file)), "PNG");
    }
    std::string Path(const std::string& file) const {
        return QDir(folder_).filePath(QString::fromStdString(file)).toStdString();
    }

    void Tick() {
        if (next_ == steps_.size()) {
            Finish();
            return;
        }
        Step& step = steps_[next_];
        waitedMs_ += kTickMs;
        if (!step.ready()) {
            readyMs_ = 0;
            if (waitedMs_ > kStepBoundMs) {
                const QDialog* open = OpenDialog(window_);
                Fail(step.name + ": did not come within 60 s" +
                     (open != nullptr ? " (open: " + open->windowTitle().toStdString() + ")"
                                      : std::string()));
            }
            return;
        }
        readyMs_ += kTickMs;
        const bool takesPicture = step.picture;
        if (takesPicture && readyMs_ < kSettleMs) {
            return;
        }
        if (!step.act()) {
            Fail(step.name + ": cannot be saved");
            return;
        }
        if (takesPicture) {
            std::printf("picture: %s\n", Path(step.name).c_str());
            std::fflush(stdout);
        }
        ++next_;
        waitedMs_ = 0;
        readyMs_ = 0;
    }

    void Fail(const std::string& why) {
        failed_ = why;
        std::fprintf(stderr, "veltrix-guide-pictures: %s\n", why.c_str());
        Finish();
    }

    void Finish() {
        ticker_.stop();
        if (QDialog* dialog = OpenDialog(window_)) {
            dialog->reject();
        }
        QTimer::singleShot(0, &window_, [this] { window_.ExitProgram(); });
    }

    MainWindow& window_;
    QString folder_;
    QTimer ticker_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    int waitedMs_ = 0;
    int readyMs_ = 0;
    std::string failed_;
};

}  // namespace

int main(int argc, char** argv) {
    veltrix::Application app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 || !QDir(args[1]).exists()) {
        std::fputs("Usage: veltrix-guide-pictures <existing-folder>\n", stderr);
        return 2;
    }
    std::unique_ptr<GuideTour> tour;
    const int status = app.Run([&](MainWindow& window) {
        // Top left, out of the notification daemon's corner (there is no window manager
        // to place it).
        window.move(0, 0);
        tour = std::make_unique<GuideTour>(window, args[1]);
        tour->Start();
    });
    return tour != nullptr && tour->Succeeded() ? status : 1;
}
