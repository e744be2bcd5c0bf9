#include "Core/Storage/InstanceLock.h"

#include "Core/Files/FileSystemError.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace quorrin {

namespace {

QString describe(InstanceLockError::Reason reason, int systemError, const QString& path)
{
    const QString cause = FileSystemError::reasonText(systemError);
    switch (reason) {
    case InstanceLockError::Reason::CannotOpen:
        return QStringLiteral("无法打开锁文件“%1”：%2").arg(path, cause);
    case InstanceLockError::Reason::HeldByAnotherInstance:
        return QStringLiteral("锁文件“%1”已被另一个实例占用").arg(path);
    case InstanceLockError::Reason::CannotLock:
        return QStringLiteral("无法锁定“%1”：%2").arg(path, cause);
    }
    return cause;
}

int lockExclusively(int descriptor)
{
    int result = 0;
    do {
        result = ::flock(descriptor, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result;
}

} // namespace

InstanceLockError::InstanceLockError(Reason reason, int systemError, const QString& path)
    : std::runtime_error(describe(reason, systemError, path).toStdString())
    , m_reason(reason)
    , m_systemError(systemError)
    , m_path(path)
{
}

InstanceLock::InstanceLock(const QString& directory)
    : m_path(QDir(directory).filePath(QString::fromLatin1(fileName)))
{
    const QByteArray encodedPath = QFile::encodeName(m_path);
    int descriptor = -1;
    do {
        descriptor = ::open(encodedPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    } while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0)
        throw InstanceLockError(InstanceLockError::Reason::CannotOpen, errno, m_path);

    if (lockExclusively(descriptor) != 0) {
        const int error = errno;
        ::close(descriptor);
        const auto reason = error == EWOULDBLOCK ? InstanceLockError::Reason::HeldByAnotherInstance
                                                 : InstanceLockError::Reason::CannotLock;
        throw InstanceLockError(reason, error, m_path);
    }
    m_descriptor = descriptor;
}

InstanceLock::InstanceLock(InstanceLock&& other) noexcept
    : m_path(std::move(other.m_path))
    , m_descriptor(std::exchange(other.m_descriptor, -1))
{
}

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept
{
    if (this != &other) {
        release();
        m_path = std::move(other.m_path);
        m_descriptor = std::exchange(other.m_descriptor, -1);
    }
    return *this;
}

InstanceLock::~InstanceLock()
{
    release();
}

void InstanceLock::release() noexcept
{
    if (m_descriptor < 0)
        return;
    ::flock(m_descriptor, LOCK_UN);
    ::close(std::exchange(m_descriptor, -1));
}

} // namespace quorrin
