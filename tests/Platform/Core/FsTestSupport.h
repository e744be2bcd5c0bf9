#pragma once

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>

#include <stdexcept>

namespace quorrin::testing {

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("test fixture: cannot write " + path.toStdString());
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Everything under `root` by relative path: a file's bytes, "<dir>" for a
// directory and "-> target" for a symbolic link. Two equal maps mean the trees
// are byte for byte the same.
inline QMap<QString, QByteArray> treeContents(const QString& root)
{
    QMap<QString, QByteArray> contents;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString key = base.relativeFilePath(entry.filePath());
        if (entry.isSymLink())
            contents.insert(key, "-> " + entry.symLinkTarget().toUtf8());
        else if (entry.isDir())
            contents.insert(key, "<dir>");
        else
            contents.insert(key, readFile(entry.filePath()));
    }
    return contents;
}

} // namespace quorrin::testing
