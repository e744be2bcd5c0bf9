#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sys/mount.h>

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

} // namespace quorrin::testing
