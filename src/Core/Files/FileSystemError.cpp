#include "Core/Files/FileSystemError.h"

#include <QFile>
#include <QFileInfo>

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
    case ENOTEMPTY: return QStringLiteral("文件夹不是空的");
    case EBUSY:
    case ETXTBSY: return QStringLiteral("文件正被占用");
    case EMFILE:
    case ENFILE: return QStringLiteral("打开的文件过多");
    case ENOMEM: return QStringLiteral("内存不足");
    case EINTR: return QStringLiteral("操作被中断");
    case EAGAIN: return QStringLiteral("资源暂时不可用");
    case EINVAL: return QStringLiteral("参数无效");
    case ESTALE: return QStringLiteral("网络文件已失效");
    case EOPNOTSUPP: return QStringLiteral("文件系统不支持此操作");
    case 0: return QStringLiteral("原因不明");
    default:
        // Only the system's own words are left: they follow the sentence as a detail.
        return QStringLiteral("系统错误（%1：%2）").arg(errorNumber).arg(QString::fromLocal8Bit(std::strerror(errorNumber)));
    }
}

} // namespace

QString FileSystemError::reasonText(int errorNumber)
{
    return reasonFor(errorNumber);
}

QString FileSystemError::reasonText(const QIODevice& device)
{
    const int errorNumber = errno;
    const auto* file = qobject_cast<const QFileDevice*>(&device);
    // Qt refuses to open a folder as a file without setting errno: what it
    // holds then was left by an earlier call.
    if (file && file->error() == QFileDevice::OpenError && QFileInfo(file->fileName()).isDir())
        return reasonFor(EISDIR);
    if (errorNumber != 0)
        return reasonFor(errorNumber);
    if (!file)
        return QStringLiteral("读写出错");
    switch (file->error()) {
    case QFileDevice::PermissionsError: return reasonFor(EACCES);
    case QFileDevice::ResourceError: return QStringLiteral("系统资源不足");
    case QFileDevice::OpenError: return QStringLiteral("无法打开");
    case QFileDevice::ReadError: return QStringLiteral("读取出错");
    case QFileDevice::WriteError: return QStringLiteral("写入出错");
    case QFileDevice::RemoveError: return QStringLiteral("无法删除");
    case QFileDevice::RenameError: return QStringLiteral("无法重命名");
    case QFileDevice::CopyError: return QStringLiteral("无法复制");
    case QFileDevice::ResizeError: return QStringLiteral("无法改变大小");
    case QFileDevice::PositionError: return QStringLiteral("无法定位");
    case QFileDevice::TimeOutError: return QStringLiteral("操作超时");
    case QFileDevice::AbortError: return QStringLiteral("操作被中止");
    case QFileDevice::NoError:
    case QFileDevice::FatalError:
    case QFileDevice::UnspecifiedError:
        break;
    }
    return reasonFor(0);
}

std::optional<QString> FileSystemError::readFailure(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return reasonText(file);
}

FileSystemError FileSystemError::fromErrno(const QString& action, const QString& path, int errorNumber)
{
    return FileSystemError(QStringLiteral("%1“%2”：%3").arg(action, path, reasonFor(errorNumber)), errorNumber);
}

} // namespace quorrin
