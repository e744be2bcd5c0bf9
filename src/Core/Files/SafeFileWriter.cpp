#include "Core/Files/SafeFileWriter.h"

#include "Core/Files/FileSystemError.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace quorrin {
namespace {

constexpr qint64 chunkSize = 1 << 20;

QString writeAction()
{
    return QStringLiteral("无法写入文件");
}

int closeDescriptor(int descriptor)
{
    // Linux releases the descriptor even when close reports an error, so it
    // is never retried.
    return ::close(descriptor) == 0 ? 0 : errno;
}

// Flushes the directory's list of entries, so that a rename in it survives a
// crash. File systems that cannot sync a directory say EINVAL: there is
// nothing more to do for them.
int syncDirectory(const QString& directory)
{
    const int descriptor = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return errno;
    int error = ::fsync(descriptor) == 0 ? 0 : errno;
    if (error == EINVAL || error == EROFS)
        error = 0;
    closeDescriptor(descriptor);
    return error;
}

} // namespace

SafeFileWriter::SafeFileWriter(QString path)
    : m_path(std::move(path))
{
    const QFileInfo target(m_path);
    m_temporaryPath = target.absolutePath() + QStringLiteral("/.saving-")
        + QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".tmp");
    m_descriptor = ::open(QFile::encodeName(m_temporaryPath).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (m_descriptor < 0)
        throw FileSystemError::fromErrno(writeAction(), m_path, errno);
    // A replaced file keeps its permissions.
    struct stat existing {};
    if (::stat(QFile::encodeName(m_path).constData(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(m_descriptor, existing.st_mode & 07777);
}

SafeFileWriter::~SafeFileWriter()
{
    cancel();
}

void SafeFileWriter::fail(int errorNumber)
{
    cancel();
    throw FileSystemError::fromErrno(writeAction(), m_path, errorNumber);
}

void SafeFileWriter::write(QByteArrayView bytes)
{
    if (m_descriptor < 0)
        throw FileSystemError(QStringLiteral("无法写入文件“%1”：写入已结束").arg(m_path));
    const char* data = bytes.data();
    qsizetype remaining = bytes.size();
    while (remaining > 0) {
        const ssize_t written = ::write(m_descriptor, data, size_t(remaining));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        if (written == 0)
            fail(ENOSPC); // a regular file only takes nothing when there is no room
        data += written;
        remaining -= written;
    }
}

void SafeFileWriter::writeAll(QIODevice& source, const QString& sourceLabel,
                              const std::function<void(QByteArrayView)>& observe)
{
    QByteArray buffer(chunkSize, Qt::Uninitialized);
    for (;;) {
        const qint64 count = source.read(buffer.data(), chunkSize);
        if (count < 0) {
            cancel();
            throw FileSystemError(QStringLiteral("无法读取文件“%1”：%2")
                .arg(sourceLabel, FileSystemError::reasonText(source)));
        }
        if (count == 0)
            return;
        const QByteArrayView chunk(buffer.constData(), count);
        if (observe)
            observe(chunk);
        write(chunk);
    }
}

void SafeFileWriter::commit()
{
    if (m_descriptor < 0)
        throw FileSystemError(QStringLiteral("无法写入文件“%1”：写入已结束").arg(m_path));
    if (::fsync(m_descriptor) != 0)
        fail(errno);
    if (const int error = closeDescriptor(std::exchange(m_descriptor, -1)); error != 0)
        fail(error);
    if (::rename(QFile::encodeName(m_temporaryPath).constData(), QFile::encodeName(m_path).constData()) != 0)
        fail(errno);
    m_temporaryPath.clear();
    if (const int error = syncDirectory(QFileInfo(m_path).absolutePath()); error != 0)
        throw FileSystemError::fromErrno(writeAction(), m_path, error);
}

void SafeFileWriter::cancel()
{
    if (m_descriptor >= 0)
        closeDescriptor(std::exchange(m_descriptor, -1));
    if (!m_temporaryPath.isEmpty())
        ::unlink(QFile::encodeName(std::exchange(m_temporaryPath, QString())).constData());
}

void writeFileSafely(const QString& path, QByteArrayView bytes)
{
    SafeFileWriter writer(path);
    writer.write(bytes);
    writer.commit();
}

void copyFileSafely(const QString& from, const QString& to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw FileSystemError(QStringLiteral("无法读取文件“%1”：%2").arg(from, FileSystemError::reasonText(source)));
    SafeFileWriter writer(to);
    writer.writeAll(source, from);
    writer.commit();
}

} // namespace quorrin
