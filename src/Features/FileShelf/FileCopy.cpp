#include "Features/FileShelf/FileCopy.h"

#include "Core/Files/AtomicRename.h"
#include "Core/Files/DirectoryTree.h"
#include "Core/Files/FileNames.h"
#include "Core/Files/FileSystemError.h"
#include "Core/Files/SafeFileWriter.h"
#include "Domain/AppError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <sys/stat.h>

namespace quorrin::filecopy {
namespace {

QString sanitized(QString name)
{
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QChar(0), QLatin1Char('_'));
    return filenames::isPlainFileName(name) ? name : QString();
}

// Whether anything (a dangling symbolic link included) is at the path.
bool occupied(const QString& path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

} // namespace

QString copyName(const QString& displayName, const QString& fallback)
{
    if (QString name = sanitized(displayName); !name.isEmpty())
        return name;
    if (QString name = sanitized(fallback); !name.isEmpty())
        return name;
    return QStringLiteral("未命名文件");
}

bool isSameOrInside(const QString& folder, const QString& source)
{
    if (folder.isEmpty() || source.isEmpty())
        return false;
    if (folder == source)
        return true;
    const QString prefix = source.endsWith(QLatin1Char('/')) ? source : source + QLatin1Char('/');
    return folder.startsWith(prefix);
}

QString copyInto(const QString& source, const QString& folder, const QString& name)
{
    const QDir target(folder);
    const QString destination = target.filePath(name);
    if (occupied(destination))
        throw AppError(nameTakenMessage);
    const QString hidden = target.filePath(QStringLiteral(".quorrin-copy-")
                                           + QUuid::createUuid().toString(QUuid::WithoutBraces));
    if (QFileInfo(source).isDir())
        copyDirectoryRecursively(source, hidden);
    else
        copyFileSafely(source, hidden);

    // Another program may take the name while the copy is made: the move
    // never replaces, and the copy is then given up.
    try {
        renameNoReplace(hidden, destination);
    } catch (const FileSystemError&) {
        removeRecursively(hidden);
        if (occupied(destination))
            throw AppError(nameTakenMessage);
        throw;
    }
    return destination;
}

} // namespace quorrin::filecopy
