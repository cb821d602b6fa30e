// The baseline of the start-up and idle benchmarks: a bare Qt Widgets dialog with one
// label. It prints "main window shown" at the dialog's first show event and "main
// window painted" once its first paint is done, as the snapshot tool does for the
// program, then ends; with --stay it runs until SIGTERM (for its idle memory). With
// --skeleton it is the reference beside both: the main window's kinds of controls at
// its size, without the program (window_skeleton.h).

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
  public:
    // `quitWhenPainted`: the program ends after the painted line.
    explicit ShownDialog(bool quitWhenPainted) : quitWhenPainted_(quitWhenPainted) {}

  protected:
    void showEvent(QShowEvent* event) override {
        QDialog::showEvent(event);
        if (!reported_) {
            reported_ = true;
            std::printf("main window shown\n");
            std::fflush(stdout);
        }
    }

    void paintEvent(QPaintEvent* event) override {
        QDialog::paintEvent(event);
        if (!painted_) {
            painted_ = true;
            // Queued behind the rest of the paint (the children) and its flush.
            QTimer::singleShot(0, this, [this] {
                std::printf("main window painted\n");
                std::fflush(stdout);
                if (quitWhenPainted_) {
                    QApplication::quit();
                }
            });
        }
    }

  private:
    bool reported_ = false;
    bool painted_ = false;
    bool quitWhenPainted_;
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
    ShownDialog dialog(!stay);
    if (skeleton) {
        veltrix::bench::BuildWindowSkeleton(dialog);
    } else {
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QLabel(QStringLiteral("Hello"), &dialog));
    }
    dialog.show();
    return app.exec();
}
