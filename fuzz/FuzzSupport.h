#pragma once

// What the fuzz targets share: turning one input into a small tree of files,
// and telling the failures a reader is allowed to report from faults.

#include "Domain/AppError.h"
#include "Domain/Json.h"
#include "Core/Files/FileSystemError.h"
#include "Core/Storage/RecordStore.h"
#include "Core/Storage/Sqlite.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace quorrin::fuzzing {

inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A fresh directory per input, removed afterwards.
inline QTemporaryDir scratchDirectory()
{
    QTemporaryDir directory(QDir::tempPath() + QStringLiteral("/quorrin-fuzz-XXXXXX"));
    if (!directory.isValid())
        std::abort();
    return directory;
}

// The input as a set of files: the bytes before the first section line are
// the main file; each line "\n--file NAME\n" starts the bytes of NAME, each
// "\n--link NAME\n" makes NAME a symbolic link to the bytes that follow, and
// "\n--dir NAME\n" makes NAME a directory and "\n--fifo NAME\n" a named pipe
// (their bytes are ignored). Only plain
// names are created, inside `folder`; a link may point anywhere.
inline QByteArray writeSections(const QByteArray& input, const QString& folder, const QString& mainName)
{
    const auto write = [&](const QByteArray& kind, const QByteArray& rawName, const QByteArray& bytes) {
        const QString name = QString::fromUtf8(rawName);
        if (name.isEmpty() || name == u"." || name == u".." || name.contains(u'/') || name.contains(QChar(0)))
            return;
        const QString path = folder + u'/' + name;
        // A later section replaces an earlier one of the same name; writing
        // into a named pipe made before would block.
        ::unlink(QFile::encodeName(path).constData());
        if (kind == "link") {
            if (::symlink(bytes.constData(), QFile::encodeName(path).constData()) != 0)
                return; // a target with a NUL in it, say: no link then
        } else if (kind == "dir") {
            QDir().mkdir(path);
        } else if (kind == "fifo") {
            if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
                return;
        } else {
            QFile file(path);
            if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                file.write(bytes);
        }
    };
    static const QByteArray marker = QByteArrayLiteral("\n--");
    qsizetype next = input.indexOf(marker);
    const QByteArray main = input.left(next < 0 ? input.size() : next);
    write("file", QFile::encodeName(mainName), main);
    while (next >= 0) {
        const qsizetype headerStart = next + marker.size();
        const qsizetype headerEnd = input.indexOf('\n', headerStart);
        if (headerEnd < 0)
            break;
        const QByteArray header = input.mid(headerStart, headerEnd - headerStart);
        next = input.indexOf(marker, headerEnd);
        const QByteArray bytes = input.mid(headerEnd + 1, next < 0 ? -1 : next - headerEnd - 1);
        const qsizetype space = header.indexOf(' ');
        if (space > 0)
            write(header.left(space), header.mid(space + 1), bytes);
    }
    return main;
}

// Runs a reader; the failures it is documented to throw end the input
// quietly, anything else escapes and libFuzzer reports it.
template <typename Read>
void expectingReportedFailures(Read&& read)
{
    try {
        read();
    } catch (const AppError&) {
    } catch (const json::Error&) {
    } catch (const FileSystemError&) {
    } catch (const RecordStoreError&) {
    } catch (const SqliteError&) {
    }
}

} // namespace quorrin::fuzzing
