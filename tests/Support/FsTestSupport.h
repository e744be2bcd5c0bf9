#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>

#include <stdexcept>
#include <string>

namespace quorrin::testing {

// A real one-pixel red PNG, for places that need a picture any reader accepts.
inline QByteArray tinyPng()
{
    static const char bytes[] = "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00"
                                "\x00\x01\x08\x02\x00\x00\x00\x90\x77\x53\xde\x00\x00\x00\x0c\x49\x44\x41\x54\x78\x9c"
                                "\x63\xf8\xcf\xc0\x00\x00\x03\x01\x01\x00\xc9\xfe\x92\xef\x00\x00\x00\x00\x49\x45\x4e"
                                "\x44\xae\x42\x60\x82";
    return QByteArray(bytes, sizeof(bytes) - 1);
}

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

// treeContents as readable lines "<path> <SHA-256 prefix>", for comparing
// large trees with a legible failure message.
inline std::string treeSummary(const QString& root)
{
    std::string summary;
    const QMap<QString, QByteArray> contents = treeContents(root);
    for (auto entry = contents.cbegin(); entry != contents.cend(); ++entry)
        summary += entry.key().toStdString() + " "
            + QCryptographicHash::hash(entry.value(), QCryptographicHash::Sha256).toHex().left(12).toStdString() + "\n";
    return summary;
}

} // namespace quorrin::testing
