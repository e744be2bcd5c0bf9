#include "Core/Files/AtomicRename.h"

#include "Core/Files/FileSystemError.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>

namespace quorrin {

void renameNoReplace(const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return;
    const int error = errno;
    if (error == EEXIST)
        throw FileSystemError(QStringLiteral("目标已存在，未覆盖：“%1”").arg(to));
    if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP)
        throw FileSystemError(QStringLiteral("此文件系统不支持不覆盖的原子移动，未移动：“%1”").arg(to));
    throw FileSystemError::fromErrno(QStringLiteral("无法移动到"), to, error);
}

} // namespace quorrin
