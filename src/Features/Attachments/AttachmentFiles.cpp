#include "Features/Attachments/AttachmentFiles.h"

#include "Persistence/NoteStore.h"
#include "Core/Files/FileNames.h"
#include "Core/Files/FileSystemError.h"
#include "Core/Files/NoFollowFile.h"

#include <QFile>

#include <sys/stat.h>

namespace quorrin::attachments {

QString directoryIn(const QString& storeRoot)
{
    return storeRoot + u'/' + NoteStore::attachmentsDirectoryName;
}

std::optional<QString> storedFilePath(const QString& storeRoot, const Attachment& attachment)
{
    if (!filenames::isPlainFileName(attachment.relativePath))
        return std::nullopt;
    const QString path = directoryIn(storeRoot) + u'/' + attachment.relativePath;
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return path;
}

std::optional<QByteArray> readStoredFile(const QString& attachmentsDirectory, const QString& relativePath)
{
    if (!filenames::isPlainFileName(relativePath))
        return std::nullopt;
    try {
        NoFollowFile file = NoFollowFile::open(attachmentsDirectory, relativePath);
        if (!file.isOpen())
            return std::nullopt;
        QByteArray bytes = file.file().readAll();
        if (file.file().error() != QFileDevice::NoError)
            return std::nullopt;
        return bytes;
    } catch (const FileSystemError&) {
        return std::nullopt;
    }
}

} // namespace quorrin::attachments
