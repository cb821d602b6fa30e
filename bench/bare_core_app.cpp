// The baseline of the status tool's run: a bare QCoreApplication that starts, runs
// its event loop once and ends.

#include <QCoreApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
