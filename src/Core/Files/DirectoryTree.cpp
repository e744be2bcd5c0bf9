#include "Core/Files/DirectoryTree.h"

#include "Core/Files/AtomicRename.h"
#include "Core/Files/FileSystemError.h"
#include "Core/Files/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <sys/stat.h>

namespace quorrin {
namespace {

void makeDirectory(const QString& path)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0755) != 0)
        throw FileSystemError::fromErrno(QStringLiteral("无法创建文件夹"), path, errno);
}

void copyChildren(const QString& from, const QString& to)
{
    const QDir source(from);
    const QFileInfoList entries =
        source.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isSymLink() || !(entry.isDir() || entry.isFile()))
            throw FileSystemError(QStringLiteral("不是普通文件或文件夹，未复制：“%1”").arg(entry.filePath()));
        if (entry.isDir()) {
            makeDirectory(target);
            copyChildren(entry.filePath(), target);
            continue;
        }
        copyFileSafely(entry.filePath(), target);
    }
}

} // namespace

void copyDirectoryRecursively(const QString& from, const QString& to)
{
    const QFileInfo source(from);
    if (source.isSymLink() || !source.isDir())
        throw FileSystemError(QStringLiteral("不是文件夹，未复制：“%1”").arg(from));
    makeDirectory(to); // fails when anything is already there, which then stays untouched
    try {
        copyChildren(from, to);
    } catch (...) {
        removeRecursively(to);
        throw;
    }
}

bool removeRecursively(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return QFile::remove(path);
    if (!info.exists())
        return true;
    if (!info.isDir())
        return QFile::remove(path);
    return QDir(path).removeRecursively();
}

TemporarySibling::TemporarySibling(const QString& destination, const QString& prefix)
    : m_destination(destination)
    , m_path(QFileInfo(destination).absolutePath() + QLatin1Char('/') + prefix
             + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper())
{
}

TemporarySibling::~TemporarySibling()
{
    if (m_owned)
        removeRecursively(m_path); // nothing sensible is left to do when this fails
}

void TemporarySibling::create()
{
    if (!QDir().mkpath(m_path))
        throw FileSystemError(QStringLiteral("无法创建文件夹“%1”").arg(m_path));
}

void TemporarySibling::moveIntoPlace()
{
    renameNoReplace(m_path, m_destination);
    m_owned = false;
}

} // namespace quorrin
