// veltrix-snapshot: starts the program exactly as Veltrix does, saves a PNG picture
// of the main window the given seconds after its first paint and ends through the
// window's Exit path. It reports when the main window was first shown and when its
// first paint was done, counted from the process start, and the texts the program
// chose its language by: the Connect button, the first menu and Qt's own Yes button.
//
//   veltrix-snapshot <png-path> <seconds>
//
// Without a display, run it with QT_QPA_PLATFORM=offscreen.

#include <time.h>
#include <unistd.h>

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QObject>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "gui/app/application.h"
#include "gui/mainwindow/main_window.h"
#include "gui/platform/control_id.h"
#include "gui/platform/first_paint_gate.h"
#include "gui/platform/screenshot.h"
#include "gui/resources/main_window_ids.h"

namespace {

constexpr char kUsage[] =
    "Usage: veltrix-snapshot <png-path> <seconds>\n"
    "Runs Veltrix, saves a picture of its main window <seconds> after its first paint and\n"
    "exits.\n";

// Milliseconds since the process started: the kernel's start time (clock ticks since
// boot, field 22 of /proc/self/stat) against the time since boot now.
double MillisecondsSinceProcessStart() {
    std::ifstream statFile("/proc/self/stat");
    const std::string text((std::istreambuf_iterator<char>(statFile)),
                           std::istreambuf_iterator<char>());
    const std::size_t nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos) {
        return -1;
    }
    std::istringstream fields(text.substr(nameEnd + 1));
    std::string field;
    for (int number = 3; number < 22; ++number) {
        fields >> field;
    }
    unsigned long long startTicks = 0;
    fields >> startTicks;
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs =
        static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
    return nowMs -
           static_cast<double>(startTicks) * 1e3 / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// Prints the time of the window's first show event.
class FirstShowReporter : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !reported_) {
            reported_ = true;
            std::printf("main window shown after %.0f ms\n", MillisecondsSinceProcessStart());
            std::fflush(stdout);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool reported_ = false;
};

// "Connect|&File|&Yes" in English.
std::string LanguageTexts(const QWidget& window) {
    const auto* connect =
        veltrix::platform::FindControl<QPushButton>(window, veltrix::control_id::kConnect);
    const auto* bar = window.findChild<QMenuBar*>();
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes);
    const QString texts =
        (connect != nullptr ? connect->text() : QString()) + QLatin1Char('|') +
        (bar != nullptr && !bar->actions().isEmpty() ? bar->actions().front()->text() : QString()) +
        QLatin1Char('|') + box.button(QMessageBox::Yes)->text();
    return texts.toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    veltrix::Application app(argc, argv);
    // Qt has taken its own options out by now.
    const QStringList args = QCoreApplication::arguments();
    bool validSeconds = false;
    const double seconds = args.size() == 3 ? args[2].toDouble(&validSeconds) : -1;
    if (!validSeconds || seconds < 0 || seconds > 3600) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string path = args[1].toStdString();

    FirstShowReporter reporter;
    bool saved = false;
    const int status = app.Run([&](veltrix::MainWindow& window) {
        window.installEventFilter(&reporter);
        // Made last, this gate is the first the paint meets: the line comes before the
        // start-up work that waits for the same paint.
        veltrix::platform::FirstPaintGate::Defer(window, window, [&window, &saved, &path, seconds] {
            std::printf("main window painted after %.0f ms\n", MillisecondsSinceProcessStart());
            std::fflush(stdout);
            QTimer::singleShot(static_cast<int>(seconds * 1000), &window, [&window, &saved, &path] {
                saved = veltrix::platform::SavePng(window, path);
                if (saved) {
                    std::printf("screenshot: %s\n", path.c_str());
                    std::printf("texts: %s\n", LanguageTexts(window).c_str());
                } else {
                    std::fprintf(stderr, "veltrix-snapshot: cannot write %s\n", path.c_str());
                }
                std::fflush(stdout);
                window.ExitProgram();
            });
        });
    });
    return saved ? status : 1;
}
