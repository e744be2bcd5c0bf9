#include "Core/Storage/InstanceLock.h"

#include "Support/ChildProcess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <optional>
#include <sys/stat.h>

using namespace quorrin;
using quorrin::testing::runInChild;

namespace {

// Exit codes a child uses to report what its own lock attempt gave.
constexpr int lockTaken = 0;
constexpr int refusedAsHeld = 1;
constexpr int refusedOtherwise = 2;

int tryLockInChild(const QString& directory)
{
    return runInChild([directory] {
        try {
            InstanceLock lock(directory);
            return lockTaken;
        } catch (const InstanceLockError& error) {
            return error.reason() == InstanceLockError::Reason::HeldByAnotherInstance ? refusedAsHeld
                                                                                       : refusedOtherwise;
        }
    });
}

std::optional<InstanceLockError> failureOf(const QString& directory)
{
    try {
        InstanceLock lock(directory);
    } catch (const InstanceLockError& error) {
        return error;
    }
    return std::nullopt;
}

TEST(InstanceLockTest, CreatesAnOwnerOnlyLockFileThatOutlivesTheLock)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("Instance.lock"));
    {
        InstanceLock lock(directory.path());
        EXPECT_EQ(lock.path(), path);
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0600u);
    }
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
}

TEST(InstanceLockTest, SecondLockInTheSameProcessIsRefusedUntilTheFirstEnds)
{
    QTemporaryDir directory;
    {
        InstanceLock first(directory.path());
        const std::optional<InstanceLockError> failure = failureOf(directory.path());
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->reason(), InstanceLockError::Reason::HeldByAnotherInstance);
        EXPECT_EQ(failure->systemError(), EWOULDBLOCK);

        // Moving the lock keeps it held.
        InstanceLock moved(std::move(first));
        EXPECT_TRUE(failureOf(directory.path()));
    }
    EXPECT_FALSE(failureOf(directory.path()));
}

TEST(InstanceLockTest, LockIsRefusedToAnotherProcessWhileHeld)
{
    QTemporaryDir directory;
    {
        InstanceLock lock(directory.path());
        EXPECT_EQ(tryLockInChild(directory.path()), refusedAsHeld);
    }
    EXPECT_EQ(tryLockInChild(directory.path()), lockTaken);
}

TEST(InstanceLockTest, FailureToOpenIsNotReportedAsAnotherInstance)
{
    QTemporaryDir directory;
    struct Case {
        const char* name;
        QString directory;
        int systemError;
    };
    // A directory where the lock file should be, and a missing directory.
    ASSERT_TRUE(QDir(directory.path()).mkpath(QStringLiteral("blocked/Instance.lock")));
    const Case cases[] = {
        {"lock file is a directory", directory.filePath(QStringLiteral("blocked")), EISDIR},
        {"missing directory", directory.filePath(QStringLiteral("missing")), ENOENT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<InstanceLockError> failure = failureOf(c.directory);
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->reason(), InstanceLockError::Reason::CannotOpen);
        EXPECT_EQ(failure->systemError(), c.systemError);
        EXPECT_NE(QString::fromUtf8(failure->what()).indexOf(QStringLiteral("Instance.lock")), -1);
    }
}

} // namespace
