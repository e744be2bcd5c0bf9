#include "Persistence/AttachmentImport.h"

#include "Core/Files/FileDigest.h"
#include "Core/Files/FileNames.h"
#include "Core/Files/FileSystemError.h"

#include <QFile>
#include <QFileInfo>

namespace quorrin {

Attachment importAttachmentFile(const QString& source, const QString& attachmentsDirectory, const Clock& clock)
{
    const QFileInfo sourceInfo(source);
    if (sourceInfo.isDir())
        throw FileSystemError(QStringLiteral("无法导入文件夹“%1”：只能导入文件").arg(source));
    // A pipe or a device would block the read or never end; a dangling link
    // has nothing to read.
    if (!sourceInfo.isFile())
        throw FileSystemError(QStringLiteral("无法导入“%1”：不是可读取的普通文件").arg(source));
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        throw FileSystemError(QStringLiteral("无法读取文件“%1”：%2").arg(source, FileSystemError::reasonText(file)));
    // An empty file shows nothing and opens as nothing: it is refused
    // rather than kept as a blank attachment.
    if (file.size() == 0)
        throw FileSystemError(QStringLiteral("无法导入“%1”：文件是空的（0 字节）").arg(source));

    const QString originalFilename = sourceInfo.fileName();
    const QString name = filenames::storedAttachmentName(originalFilename);
    const QString checksum = digest::copyHashing(file, source, attachmentsDirectory + QLatin1Char('/') + name);
    return Attachment{
        .id = QUuid::createUuid(),
        .relativePath = name,
        .originalFilename = originalFilename,
        .contentType = filenames::pathExtension(originalFilename).toLower(),
        .checksum = checksum,
        .createdAt = clock(),
    };
}

} // namespace quorrin
