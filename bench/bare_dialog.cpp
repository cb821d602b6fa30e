// The baseline of the start-up and idle benchmarks: a bare Qt Widgets dialog with one
// label. It prints "main window shown" at the dialog's first show event, as the
// snapshot tool does for the program, then ends at once; with --stay it runs until
// SIGTERM (for its idle memory). With --skeleton it is the reference beside both: the
// main window's kinds of controls at its size, without the program (window_skeleton.h).

#include <csignal>
#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "window_skeleton.h"

namespace {

class ShownDialog : public QDialog {
  protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        if (!reported_) {
            reported_ = true;
            std::printf("main window shown\n");
            std::fflush(stdout);
        }
    }

  private:
    bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    bool stay = false;
    bool skeleton = false;
    for (int i = 1; i < argc; ++i) {
        stay = stay || std::strcmp(argv[i], "--stay") == 0;
        skeleton = skeleton || std::strcmp(argv[i], "--skeleton") == 0;
    }
    std::signal(SIGTERM, [](int) { std::_Exit(0); });
    QApplication app(argc, argv);
    ShownDialog dialog;
    if (skeleton) {
        veltrix::bench::BuildWindowSkeleton(dialog);
    } else {
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QLabel(QStringLiteral("Hello"), &dialog));
    }
    dialog.show();
    if (!stay) {
        QTimer::singleShot(0, &app, &QApplication::quit);
    }
    return app.exec();
}
