// The launcher's run: in process with a scripted error box, its Qt message box, and the
// program as a process without a display.

#include <unistd.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include "pellow/desktop_open.h"
#include "pellow/launcher.h"
#include "pellow/result_codes.h"
#include "test_desktop.h"

namespace pellow {
namespace {

class ScriptedErrorBox final : public ErrorBox {
  public:
    void ShowError(const QString& text) override { shown.push_back(text); }
    QStringList shown;
};

TEST(PellowRunTest, OneMessageForAFailureAndNoneForASuccess) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const struct {
        Language language;
        int fakeResult;  // -1: the desktop's own "open"
        QStringList expected;
    } rows[] = {
        {Language::English, -1, {QStringLiteral("InstFile_EN.msi not found!")}},
        {Language::German, -1, {QStringLiteral("InstFile_DE.msi wurde nicht gefunden!")}},
        {Language::German, kOpened, {}},
        {Language::English, 32, {QString::fromUtf16(u"Datei  konnte nicht geöffnet werden!")}},
    };
    for (const auto& r : rows) {
        ScriptedErrorBox box;
        const Opener fake = [&r](const QString&) { return r.fakeResult; };
        EXPECT_EQ(RunLauncher(r.language, r.fakeResult < 0 ? Opener(OpenWithDesktop) : fake, box),
                  0);
        EXPECT_EQ(box.shown, r.expected) << r.fakeResult;
    }
    QDir::setCurrent(QDir::rootPath());
}

TEST(PellowRunTest, QtBoxIsAnErrorWithOkOnlyAndNoTitleOfItsOwn) {
    const QString text = QStringLiteral("<b>Path</b> not found!");
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->windowTitle(), QString());
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->text(), text);
        box->button(QMessageBox::Ok)->click();
    });
    QtErrorBox().ShowError(text);
    EXPECT_TRUE(seen);
}

enum PackageFile { kReadable, kUnreadable, kHandled };

// Without a display the message goes to standard error; the exit code is always 0.
TEST(PellowRunTest, ProgramWithoutADisplay) {
    const struct {
        const char* variable;
        const char* value;
        const char* package;  // made in the current directory
        PackageFile file;
        const char* expectedError;
    } rows[] = {
        {"LANG", "en_US.UTF-8", nullptr, kReadable, "InstFile_EN.msi not found!\n"},
        {"LANGUAGE", "de:en", nullptr, kReadable, "InstFile_DE.msi wurde nicht gefunden!\n"},
        {"QT_QPA_PLATFORM", "offscreen", nullptr, kReadable, "InstFile_EN.msi not found!\n"},
        {"LANG",
         "C",
         "InstFile_EN.msi",
         {},
         "Der angegebene Dateityp ist auf Ihrem Computer keiner Anwendung zugeordnet!\n"},
        {"LC_ALL", "de_DE.UTF-8", "InstFile_DE.msi", kUnreadable,
         "Der Zugriff auf die Installationsdatei  wurde vom Betriebssystem verweigert!\n"},
        {"LC_MESSAGES", "de_CH", "InstFile_DE.msi", kHandled, ""},
    };
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    for (const auto& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.variable << '=' << r.value);
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther);
        if (r.package != nullptr) {
            QFile file(dir.filePath(QLatin1String(r.package)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("\xd0\xcf\x11\xe0") == 4);
            file.setPermissions(r.file == kUnreadable ? QFile::Permissions() : QFile::ReadOwner);
        }
        QProcessEnvironment env = r.file == kHandled ? testing::WithPackageHandler()
                                                     : QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE",
                                 "LC_ALL", "LC_MESSAGES", "LANG"}) {
            env.remove(QLatin1String(name));
        }
        env.insert(QLatin1String(r.variable), QLatin1String(r.value));
        QStringList command = {QStringLiteral(PELLOW_EXECUTABLE)};
        if (r.file == kUnreadable && ::geteuid() == 0) {  // root reads everything
            if (setpriv.isEmpty()) {
                ADD_FAILURE() << "setpriv is needed to run as nobody";
                continue;
            }
            command =
                QStringList{setpriv, QStringLiteral("--reuid=65534"),
                            QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")} +
                command;
        }
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
        process.start(command.takeFirst(), command);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
        // The box's text, then the file tried (and a hint) on the same line.
        const QString said = QString::fromUtf8(process.readAllStandardError());
        const QString text = QString::fromUtf8(r.expectedError).chopped(*r.expectedError ? 1 : 0);
        EXPECT_TRUE(text.isEmpty() ? said.isEmpty()
                                   : said.startsWith(QStringLiteral("pellow: ") + text +
                                                     QStringLiteral(" (") + dir.path() + u'/') &&
                                         said.endsWith(u'\n') && said.count(u'\n') == 1)
            << said.toStdString();
        if (r.file == kHandled) {
            EXPECT_EQ(testing::TakeOpenedRecord(), dir.filePath(QLatin1String(r.package)) + u'\n');
        }
    }
}

}  // namespace
}  // namespace pellow
