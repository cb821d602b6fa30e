// The desktop's "open" in a temporary current directory, on the tests' private desktop.

#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "pellow/desktop_open.h"
#include "pellow/result_codes.h"
#include "test_desktop.h"

namespace pellow {
namespace {

class PellowDesktopOpenTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(QDir::setCurrent(dir_.path())); }
    void TearDown() override { QDir::setCurrent(QDir::rootPath()); }

    void Write(const QString& name) {
        QFile file(dir_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\xd0\xcf\x11\xe0\x00\x01", 6);  // not text, no known signature
    }

    QTemporaryDir dir_;
};

TEST_F(PellowDesktopOpenTest, FailuresSayWhy) {
    Write(QStringLiteral("plain"));
    Write(QStringLiteral("InstFile_DE.msi"));
    const struct {
        QString name;
        int expected;
    } rows[] = {
        {QStringLiteral("InstFile_EN.msi"), kFileNotFound},
        {QStringLiteral("missing/InstFile_EN.msi"), kPathNotFound},
        {QStringLiteral("plain/InstFile_EN.msi"), kPathNotFound},
        {QStringLiteral("InstFile_DE.msi"), kNoAssociation},
        {dir_.filePath(QStringLiteral("InstFile_DE.msi")), kNoAssociation},
        {QString(), kFileNotFound},
        {QStringLiteral("InstFile_DE.msi") + QChar(u'\0'), kFileNotFound},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(OpenWithDesktop(r.name), r.expected) << r.name.toStdString();
    }
}

TEST_F(PellowDesktopOpenTest, RemovedCurrentDirectoryIsAPathNotFound) {
    const QString gone = dir_.filePath(QStringLiteral("gone"));
    ASSERT_TRUE(QDir().mkdir(gone) && QDir::setCurrent(gone));
    ASSERT_EQ(::rmdir(QFile::encodeName(gone).constData()), 0);
    EXPECT_EQ(OpenWithDesktop(QStringLiteral("InstFile_EN.msi")), kPathNotFound);
}

// The name is taken against the current directory and handed to the application whole.
TEST_F(PellowDesktopOpenTest, FileWithAnApplicationIsOpenedWithIt) {
    Write(QStringLiteral("setup file.pellowtest"));
    EXPECT_TRUE(Succeeded(OpenWithDesktop(QStringLiteral("setup file.pellowtest"))));
    EXPECT_EQ(testing::TakeOpenedRecord(),
              dir_.filePath(QStringLiteral("setup file.pellowtest\n")));
}

}  // namespace
}  // namespace pellow
