#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace quorrin::testing {

// A tmpfs of a few hundred kilobytes mounted on a temporary folder, for a
// disk that really fills up. Mounting needs the right to do so (root in most
// containers); without it isMounted() is false and the caller should skip.
class SmallFileSystem {
public:
    explicit SmallFileSystem(int kilobytes)
    {
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
        m_mounted = m_folder.isValid()
            && ::mount("tmpfs", QFile::encodeName(m_folder.path()).constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder.path()).constData(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_folder.path(); }

private:
    QTemporaryDir m_folder;
    bool m_mounted = false;
};

// A file that takes every byte still free on the file system it is made on,
// until release() removes it.
class DiskFiller {
public:
    explicit DiskFiller(const QString& path)
        : m_path(path)
    {
        const int descriptor = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (descriptor < 0)
            return;
        const QByteArray chunk(4096, 'f');
        while (::write(descriptor, chunk.constData(), size_t(chunk.size())) > 0) {
        }
        for (const char byte = 'f'; ::write(descriptor, &byte, 1) > 0;) {
        }
        ::close(descriptor);
    }
    void release() { QFile::remove(m_path); }

private:
    QString m_path;
};

} // namespace quorrin::testing
