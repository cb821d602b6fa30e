#pragma once
// The one message the launcher shows when the package could not be opened.

#include <QString>
#include <cstdio>
#include <string_view>
#include <vector>

namespace pellow {

class ErrorBox {
  public:
    virtual ~ErrorBox() = default;
    // Shows `text` as an error and returns once the user has taken note of it.
    virtual void ShowError(const QString& text) = 0;
    // The same, where `terminalText` is what a terminal gets instead of the box.
    virtual void ShowError(const QString& text, const QString& terminalText) {
        static_cast<void>(terminalText);
        ShowError(text);
    }
};

// A modal message box: the error icon, OK only, and no title of its own, so the window
// carries the desktop's default caption (the program's name). Needs a QApplication.
class QtErrorBox final : public ErrorBox {
  public:
    void ShowError(const QString& text) override;
};

// The text and a line break on `stream`, in UTF-8.
class StreamErrorBox final : public ErrorBox {
  public:
    explicit StreamErrorBox(std::FILE* stream) : stream_(stream) {}
    void ShowError(const QString& text) override;

  private:
    std::FILE* stream_;
};

// True when a message box can be seen: a desktop names its display (DISPLAY or
// WAYLAND_DISPLAY is set) and Qt is not told to draw off the screen (QT_QPA_PLATFORM
// "offscreen" or "minimal", optionally with options after a colon).
bool HasDisplay(std::string_view qpaPlatform, std::string_view display,
                std::string_view waylandDisplay);
bool HasDisplay();

// The program's error box: a QtErrorBox on an application object of its own when there is
// a display, else the text on standard error. The application object is made only when a
// message is shown, so a successful start opens no connection to the display, and it
// sees the program's name and Qt's own options (-platform, ...), all the command line
// holds once the launcher has read it.
class DesktopErrorBox final : public ErrorBox {
  public:
    // The program's command line, Qt's own options the only ones left in it (for the
    // application object); argv[0] may be missing.
    DesktopErrorBox(int argc, char** argv);
    void ShowError(const QString& text) override;
    void ShowError(const QString& text, const QString& terminalText) override;

  private:
    int argc_ = 1;
    std::vector<char*> argv_;
};

}  // namespace pellow
