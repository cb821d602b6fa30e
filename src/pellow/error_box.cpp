#include "pellow/error_box.h"

#include <QApplication>
#include <QMessageBox>
#include <algorithm>
#include <cstdlib>
#include <memory>

namespace pellow {
namespace {

std::string_view EnvValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string_view{} : std::string_view{value};
}

}  // namespace

void QtErrorBox::ShowError(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString(), text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void StreamErrorBox::ShowError(const QString& text) {
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stream_);
    std::fflush(stream_);
}

bool HasDisplay(std::string_view qpaPlatform, std::string_view display,
                std::string_view waylandDisplay) {
    const std::string_view platform = qpaPlatform.substr(0, qpaPlatform.find(':'));
    if (platform == "offscreen" || platform == "minimal") {
        return false;
    }
    return !display.empty() || !waylandDisplay.empty();
}

bool HasDisplay() {
    return HasDisplay(EnvValue("QT_QPA_PLATFORM"), EnvValue("DISPLAY"),
                      EnvValue("WAYLAND_DISPLAY"));
}

DesktopErrorBox::DesktopErrorBox(int argc, char** argv) {
    static char fallbackName[] = "Pellow";
    argv_.assign(argv, argv + std::max(argc, 0));
    if (argv_.empty() || argv_[0] == nullptr) {
        argv_.assign(1, fallbackName);
    }
    argc_ = static_cast<int>(argv_.size());
    argv_.push_back(nullptr);
}

void DesktopErrorBox::ShowError(const QString& text) {
    ShowError(text, text);
}

void DesktopErrorBox::ShowError(const QString& text, const QString& terminalText) {
    if (!HasDisplay()) {
        StreamErrorBox(stderr).ShowError(terminalText);
        return;
    }
    std::unique_ptr<QApplication> app;
    if (QApplication::instance() == nullptr) {
        app = std::make_unique<QApplication>(argc_, argv_.data());
    }
    QtErrorBox().ShowError(text);
}

}  // namespace pellow
