#include "test_desktop.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace pellow::testing {
namespace {

QTemporaryDir& Root() {
    static QTemporaryDir root;
    return root;
}

QString Record() {
    return Root().filePath(QStringLiteral("opened"));
}

void Write(const QString& name, const QByteArray& contents) {
    const QString path = Root().filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

void InstallDesktop() {
    const QByteArray handler = QFile::encodeName(Root().filePath(QStringLiteral("handler.sh")));
    Write(QStringLiteral("handler.sh"),
          "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + QFile::encodeName(Record()) + "'\n");
    QFile::setPermissions(QString::fromLocal8Bit(handler), QFile::ReadOwner | QFile::ExeOwner);
    Write(QStringLiteral("data/applications/pellow-test.desktop"),
          "[Desktop Entry]\nType=Application\nName=Test\nExec=" + handler + " %f\n");
    Write(QStringLiteral("data/mime/globs2"), "50:application/x-pellow-test:*.pellowtest\n");
    const QByteArray defaults =
        "[Default Applications]\napplication/x-pellow-test=pellow-test.desktop\n";
    Write(QStringLiteral("config/mimeapps.list"), defaults);
    Write(QStringLiteral("config-packages/mimeapps.list"),
          defaults + "application/octet-stream=pellow-test.desktop\n");

    const QByteArray root = QFile::encodeName(Root().path());
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CONFIG_HOME", root + "/config");
    for (const char* name : {"XDG_DATA_DIRS", "XDG_CONFIG_DIRS", "GIO_MODULE_DIR"}) {
        qputenv(name, root + "/none");
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root + "/none/bus");
    qputenv("GIO_USE_VFS", "local");
}

}  // namespace

QProcessEnvironment WithPackageHandler() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"),
               Root().filePath(QStringLiteral("config-packages")));
    return env;
}

QString TakeOpenedRecord() {
    QFile record(Record());
    if (!QTest::qWaitFor([&record] { return record.size() > 0; }, 10000) ||
        !record.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QString text = QString::fromUtf8(record.readAll());
    record.remove();
    return text;
}

}  // namespace pellow::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    pellow::testing::InstallDesktop();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
