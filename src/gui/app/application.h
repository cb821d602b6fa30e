#pragma once
// The program's start: the application object, the settings, the main window and the
// application's event loop. SIGTERM and SIGINT end the program through the window's
// Exit path, as the Exit menu item does.

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QApplication;

namespace veltrix {

class MainWindow;
class SingleInstance;

class Application {
  public:
    // Creates the application object with the program's names and icon; Qt takes its
    // own options (-platform, ...) out of argv. `argc` must outlive this object.
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // One Veltrix per user and display: when another runs, asks it to show its window
    // and gives the exit status for this start (0 when it answered; 1, with the reason
    // on `err`, when it did not); nothing when this one is to run.
    std::optional<int> HandOverToRunningInstance(std::FILE* err);

    // Clears the service mode, loads the settings, builds the main window, shows it and
    // runs the application's event loop until the window's Exit path ends it; returns
    // the exit status (0). Hiding the window ends nothing. `prepare` sees the window
    // before it is shown.
    int Run(const std::function<void(MainWindow&)>& prepare = {});

    // --version and --help, answered before any display is needed: the exit status
    // when one of them was asked for (the answer printed to `out`), or 2 for an option
    // that is neither the program's nor Qt's (said on `err`); nothing when the program
    // is to run.
    static std::optional<int> AnswerInformationOptions(int argc, char** argv, std::FILE* out,
                                                       std::FILE* err);
    // The product version of the program's own version block, as the About box shows
    // it: "major.minor.build", with ".revision" when that is not 0.
    static std::string Version();

  private:
    class TerminationSignals;

    // The Exit path for a termination signal, once the window runs at the top level.
    void ExitOnSignal();

    std::unique_ptr<QApplication> app_;
    std::unique_ptr<TerminationSignals> signals_;
    std::unique_ptr<SingleInstance> instance_;  // listening, once this start runs
    MainWindow* window_ = nullptr;              // during Run
    bool exitRequested_ = false;
    int exitRetries_ = 0;
};

}  // namespace veltrix
