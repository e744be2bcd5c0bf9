#include "Core/Files/FileSystemError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

namespace quorrin {
namespace {

TEST(FileSystemError, ReadFailuresNameTheirCauseWhateverErrnoHeldBefore)
{
    QTemporaryDir directory;
    const QString readable = directory.filePath(QStringLiteral("note.png"));
    const QString locked = directory.filePath(QStringLiteral("locked.png"));
    for (const QString& path : {readable, locked}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::Permissions()));
    ASSERT_TRUE(QDir(directory.path()).mkdir(QStringLiteral("folder.png")));

    struct Case {
        QString path;
        std::optional<QString> expected;
    };
    std::vector<Case> cases = {
        {readable, std::nullopt},
        {directory.filePath(QStringLiteral("folder.png")), QStringLiteral("是文件夹")},
        {directory.filePath(QStringLiteral("missing.png")), QStringLiteral("文件或文件夹不存在")},
    };
    // The superuser reads a file of any mode.
    if (::geteuid() != 0)
        cases.push_back({locked, QStringLiteral("没有访问权限")});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        errno = EEXIST; // left by some earlier call
        EXPECT_EQ(FileSystemError::readFailure(c.path), c.expected);
    }
}

} // namespace
} // namespace quorrin
