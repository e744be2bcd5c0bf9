#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quorrin::testing {

// Makes a file unwritable for the life of the object. An ordinary user gets
// mode 0444, which keeps later opens from writing. Root ignores modes, so for
// root the file is marked immutable instead, which also stops writes through
// descriptors that are already open; where that is not permitted (no
// CAP_LINUX_IMMUTABLE) isActive() is false and the caller should skip.
class FileProtection {
public:
    explicit FileProtection(QString path)
        : m_path(std::move(path))
    {
        if (::geteuid() != 0) {
            m_permissions = QFile::permissions(m_path);
            m_active = QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
            m_byMode = m_active;
            return;
        }
        m_active = setImmutable(true);
    }
    ~FileProtection()
    {
        if (!m_active)
            return;
        if (m_byMode)
            QFile::setPermissions(m_path, m_permissions);
        else
            setImmutable(false);
    }
    FileProtection(const FileProtection&) = delete;
    FileProtection& operator=(const FileProtection&) = delete;

    bool isActive() const { return m_active; }
    // True when descriptors opened before protection can no longer write.
    bool stopsOpenWriters() const { return m_active && !m_byMode; }

private:
    bool setImmutable(bool on)
    {
        const int descriptor = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(descriptor, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(descriptor);
        return done;
    }

    QString m_path;
    QFile::Permissions m_permissions;
    bool m_active = false;
    bool m_byMode = false;
};

} // namespace quorrin::testing
