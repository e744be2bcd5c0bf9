#include "Core/Files/FileIdentity.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace quorrin {

bool isSameFile(const FileIdentity& recorded, const FileIdentity& current)
{
    if (recorded.device != current.device || recorded.inode != current.inode)
        return false;
    return !recorded.birth || !current.birth || *recorded.birth == *current.birth;
}

std::optional<FileIdentity> fileIdentity(const QString& path, int* error)
{
    struct statx status {};
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), AT_STATX_SYNC_AS_STAT,
                STATX_INO | STATX_BTIME, &status)
        != 0) {
        if (error)
            *error = errno;
        return std::nullopt;
    }
    FileIdentity identity;
    // Encoded as stat() encodes st_dev: bookmarks made before birth times were
    // recorded hold that number.
    identity.device = quint64(makedev(status.stx_dev_major, status.stx_dev_minor));
    identity.inode = status.stx_ino;
    // The mask says which fields the file system filled in; a birth time it
    // does not keep reads as zero and must not be taken for one.
    if (status.stx_mask & STATX_BTIME)
        identity.birth = BirthTime{status.stx_btime.tv_sec, status.stx_btime.tv_nsec};
    return identity;
}

} // namespace quorrin
