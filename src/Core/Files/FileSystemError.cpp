#include "Core/Files/FileSystemError.h"

#include <cerrno>
#include <cstring>

namespace quorrin {
namespace {

QString reasonFor(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT: return QStringLiteral("文件或文件夹不存在");
    case EEXIST: return QStringLiteral("目标已存在");
    case EACCES:
    case EPERM: return QStringLiteral("没有访问权限");
    case ELOOP: return QStringLiteral("是符号链接，已拒绝");
    case ENOTDIR: return QStringLiteral("不是文件夹");
    case EISDIR: return QStringLiteral("是文件夹");
    case ENOSPC: return QStringLiteral("磁盘空间不足");
    case EDQUOT: return QStringLiteral("超出磁盘配额");
    case EFBIG: return QStringLiteral("文件超出允许的大小");
    case EIO: return QStringLiteral("磁盘读写出错");
    case ENAMETOOLONG: return QStringLiteral("文件名过长");
    case EROFS: return QStringLiteral("文件系统只读");
    case EXDEV: return QStringLiteral("不在同一文件系统上");
    default: return QString::fromLocal8Bit(std::strerror(errorNumber));
    }
}

} // namespace

QString FileSystemError::reasonText(int errorNumber)
{
    return reasonFor(errorNumber);
}

FileSystemError FileSystemError::fromErrno(const QString& action, const QString& path, int errorNumber)
{
    return FileSystemError(QStringLiteral("%1“%2”：%3").arg(action, path, reasonFor(errorNumber)), errorNumber);
}

} // namespace quorrin
