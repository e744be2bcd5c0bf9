#include "Core/Files/NoFollowFile.h"

#include "Core/Files/FileNames.h"
#include "Core/Files/FileSystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace quorrin {
namespace {

// Owns a descriptor until it is handed on.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

} // namespace

NoFollowFile::NoFollowFile(Status status, QString path, std::unique_ptr<QFile> file)
    : m_status(status)
    , m_path(std::move(path))
    , m_file(std::move(file))
{
}

NoFollowFile NoFollowFile::open(const QString& directory, const QString& name)
{
    const QString path = directory + QLatin1Char('/') + name;
    if (!filenames::isPlainFileName(name))
        throw FileSystemError(QStringLiteral("文件名无效，已拒绝：“%1”").arg(name));

    const Descriptor dir(::open(QFile::encodeName(directory).constData(),
                                O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (dir.get() < 0) {
        if (errno == ENOENT)
            return NoFollowFile(Status::missing, path, nullptr);
        throw FileSystemError::fromErrno(QStringLiteral("无法打开文件夹"), directory, errno);
    }

    // O_NONBLOCK keeps a FIFO planted under the name from blocking the open.
    Descriptor fd(::openat(dir.get(), QFile::encodeName(name).constData(),
                           O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        switch (errno) {
        case ENOENT: return NoFollowFile(Status::missing, path, nullptr);
        case ELOOP: return NoFollowFile(Status::notRegularFile, path, nullptr);
        default: throw FileSystemError::fromErrno(QStringLiteral("无法打开文件"), path, errno);
        }
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        throw FileSystemError::fromErrno(QStringLiteral("无法读取文件信息"), path, errno);
    if (!S_ISREG(info.st_mode))
        return NoFollowFile(Status::notRegularFile, path, nullptr);
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);

    auto file = std::make_unique<QFile>();
    if (!file->open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        throw FileSystemError(QStringLiteral("无法打开文件“%1”：%2").arg(path, FileSystemError::reasonText(*file)));
    fd.release();
    return NoFollowFile(Status::opened, path, std::move(file));
}

} // namespace quorrin
