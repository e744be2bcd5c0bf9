#include "Features/FileShelf/FileCopy.h"

#include "Core/Files/AtomicRename.h"
#include "Core/Files/DirectoryTree.h"
#include "Core/Files/FileNames.h"
#include "Core/Files/FileSystemError.h"
#include "Core/Files/SafeFileWriter.h"

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

QString freeName(const QString& name, bool isFolder, const std::function<bool(const QString&)>& taken)
{
    if (!taken(name))
        return name;
    const QString extension = isFolder ? QString() : filenames::pathExtension(name);
    const QString stem = extension.isEmpty() ? name : name.left(name.size() - extension.size() - 1);
    const QString suffix = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;
    for (int number = 2;; ++number) {
        const QString candidate = stem + QLatin1Char(' ') + QString::number(number) + suffix;
        if (!taken(candidate))
            return candidate;
    }
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
    const bool isFolder = QFileInfo(source).isDir();
    const QDir target(folder);
    const QString hidden = target.filePath(QStringLiteral(".quorrin-copy-")
                                           + QUuid::createUuid().toString(QUuid::WithoutBraces));
    if (isFolder)
        copyDirectoryRecursively(source, hidden);
    else
        copyFileSafely(source, hidden);

    // Another program may take a name between the look and the move: the
    // move never replaces, so a lost race only moves on to the next name.
    const auto taken = [&](const QString& candidate) { return occupied(target.filePath(candidate)); };
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString destination = target.filePath(freeName(name, isFolder, taken));
        try {
            renameNoReplace(hidden, destination);
            return destination;
        } catch (const FileSystemError&) {
            if (!occupied(destination)) {
                removeRecursively(hidden);
                throw;
            }
        }
    }
    removeRecursively(hidden);
    throw FileSystemError(QStringLiteral("无法在“%1”中找到可用的文件名。").arg(folder));
}

} // namespace quorrin::filecopy
