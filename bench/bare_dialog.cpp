// The baseline of the start-up and idle benchmarks: a bare Qt Widgets dialog with one
// label. It prints "main window shown" at the dialog's first show event, as the
// snapshot tool does for the program, then ends at once; with --stay it runs until
// SIGTERM (for its idle memory).

#include <csignal>
#include <cstdio>
#include <cstring>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

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
    const bool stay = argc > 1 && std::strcmp(argv[1], "--stay") == 0;
    std::signal(SIGTERM, [](int) { std::_Exit(0); });
    QApplication app(argc, argv);
    ShownDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Hello"), &dialog));
    dialog.show();
    if (!stay) {
        QTimer::singleShot(0, &app, &QApplication::quit);
    }
    return app.exec();
}
