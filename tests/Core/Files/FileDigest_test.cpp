#include "Core/Files/FileDigest.h"

#include "Core/Files/FileSystemError.h"
#include "Support/FsTestSupport.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>

namespace quorrin::digest {
namespace {

using testing::readFile;
using testing::writeFile;

TEST(FileDigest, KnownVectorsInLowerCaseHex)
{
    EXPECT_EQ(sha256Hex(QByteArray("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    QTemporaryDir dir;
    writeFile(dir.filePath("empty"), {});
    EXPECT_EQ(sha256HexOfFile(dir.filePath("empty")),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_THROW(sha256HexOfFile(dir.filePath("absent")), FileSystemError);
}

TEST(FileDigest, StreamingAcrossChunksMatchesTheWholeDigest)
{
    QByteArray bytes(3 * 1024 * 1024 + 17, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 31 % 251);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_EQ(sha256Hex(buffer, "buffer"), sha256Hex(bytes));
}

TEST(FileDigest, CopyHashingWritesTheSameBytesAndReturnsTheirDigest)
{
    QTemporaryDir dir;
    QByteArray bytes(2 * 1024 * 1024 + 5, 'q');
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_EQ(copyHashing(buffer, "buffer", dir.filePath("copy")), sha256Hex(bytes));
    EXPECT_EQ(readFile(dir.filePath("copy")), bytes);

    QBuffer again(&bytes);
    again.open(QIODevice::ReadOnly);
    EXPECT_THROW(copyHashing(again, "buffer", dir.filePath("noSuchDirectory/copy")), FileSystemError);
}

TEST(FileDigest, OnlyLowerCaseHexOfTheRightLengthIsAChecksum)
{
    const QString good = sha256Hex(QByteArray("abc"));
    EXPECT_TRUE(isLowerHexSha256(good));
    EXPECT_FALSE(isLowerHexSha256(good.toUpper()));
    EXPECT_FALSE(isLowerHexSha256(good.left(63)));
    EXPECT_FALSE(isLowerHexSha256(good + "0"));
    EXPECT_FALSE(isLowerHexSha256(good.left(63) + "g"));
    EXPECT_FALSE(isLowerHexSha256({}));
}

} // namespace
} // namespace quorrin::digest
