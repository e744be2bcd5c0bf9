#include "Core/Files/SafeFileWriter.h"

#include "Core/Files/FileSystemError.h"
#include "Support/FileSizeLimit.h"
#include "Support/FsTestSupport.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace quorrin {
namespace {

using testing::readFile;
using testing::treeContents;
using testing::writeFile;

const QByteArray oldBytes = "the file as it was";

QByteArray bytesOfSize(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 26);
    return bytes;
}

TEST(SafeFileWriter, ReplacesOrCreatesTheFileWholeAndLeavesNothingElse)
{
    for (const bool existing : {false, true}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("target.json");
        if (existing)
            writeFile(path, oldBytes);
        const QByteArray bytes = bytesOfSize(3 * 1024 * 1024 + 7);
        writeFileSafely(path, bytes);
        EXPECT_EQ(readFile(path), bytes) << existing;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList{"target.json"});
    }
}

TEST(SafeFileWriter, KeepsThePermissionsOfTheReplacedFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("private");
    writeFile(path, oldBytes);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    const QFile::Permissions before = QFile::permissions(path);
    writeFileSafely(path, "new");
    EXPECT_EQ(QFile::permissions(path), before);
}

TEST(SafeFileWriter, UncommittedOrCancelledWritesLeaveTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("target");
    writeFile(path, oldBytes);
    {
        SafeFileWriter dropped(path);
        dropped.write("half of it");
    }
    SafeFileWriter cancelled(path);
    cancelled.write("half of it");
    cancelled.cancel();
    EXPECT_THROW(cancelled.commit(), FileSystemError);
    EXPECT_EQ(treeContents(dir.path()), (QMap<QString, QByteArray>{{"target", oldBytes}}));
}

TEST(SafeFileWriter, FailuresNameTheTargetAndTheSystemsReason)
{
    QTemporaryDir dir;
    const QString inMissingFolder = dir.filePath("absent/target");
    try {
        writeFileSafely(inMissingFolder, "x");
        FAIL() << "wrote into a missing folder";
    } catch (const FileSystemError& error) {
        EXPECT_TRUE(error.message().contains(inMissingFolder)) << error.message().toStdString();
        EXPECT_TRUE(error.message().contains(QStringLiteral("不存在"))) << error.message().toStdString();
    }

    // A directory in the target's place stays as it was.
    const QString folder = dir.filePath("folder");
    QDir().mkpath(folder + "/inside");
    EXPECT_THROW(writeFileSafely(folder, "x"), FileSystemError);
    EXPECT_TRUE(QFileInfo(folder + "/inside").isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"folder"});
}

TEST(SafeFileWriter, AFullFileSystemFailsTheWriteAndKeepsTheOldBytes)
{
    // Small and large files, whole and streamed: the limit falls in the first
    // write, in a later chunk, or exactly at the end of the old size.
    struct Case {
        qsizetype size;
        bool streamed;
    };
    for (const Case& c : {Case{5000, false}, Case{5000, true}, Case{3 * 1024 * 1024, true}}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("target");
        writeFile(path, oldBytes);
        const QByteArray bytes = bytesOfSize(c.size);
        const int outcome = testing::outcomeUnderLimit(4096, [&] {
            if (!c.streamed) {
                writeFileSafely(path, bytes);
                return;
            }
            QByteArray source = bytes;
            QBuffer buffer(&source);
            buffer.open(QIODevice::ReadOnly);
            SafeFileWriter writer(path);
            writer.writeAll(buffer, "buffer");
            writer.commit();
        });
        EXPECT_EQ(outcome, testing::failedAsExpected) << c.size << " streamed " << c.streamed;
        EXPECT_EQ(treeContents(dir.path()), (QMap<QString, QByteArray>{{"target", oldBytes}}));
    }
}

TEST(SafeFileWriter, CopyStreamsTheSourceAndRefusesAFolder)
{
    QTemporaryDir dir;
    const QByteArray bytes = bytesOfSize(2 * 1024 * 1024 + 3);
    writeFile(dir.filePath("source"), bytes);
    copyFileSafely(dir.filePath("source"), dir.filePath("copy"));
    EXPECT_EQ(readFile(dir.filePath("copy")), bytes);

    QDir().mkpath(dir.filePath("x.pdf"));
    EXPECT_THROW(copyFileSafely(dir.filePath("x.pdf"), dir.filePath("copy")), FileSystemError);
    EXPECT_EQ(readFile(dir.filePath("copy")), bytes);
}

} // namespace
} // namespace quorrin
