#pragma once

#include <QByteArrayView>
#include <QIODevice>
#include <QString>

#include <functional>

namespace quorrin {

// The one way the program writes a file whole. The bytes go to a hidden
// temporary file beside the target, written without any buffer of our own so
// that every failure (a full disk, a size limit, an I/O error) is seen at the
// write that caused it. commit() flushes the file to disk, renames it over
// the target and flushes the directory, so after a crash the target is either
// the old file or the complete new one. Until commit() succeeds the target is
// untouched; a writer that goes away uncommitted removes its temporary file.
// Every failure is a FileSystemError naming the target and the system's
// reason.
class SafeFileWriter {
public:
    // Creates the temporary file; throws FileSystemError when it cannot.
    explicit SafeFileWriter(QString path);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    const QString& path() const { return m_path; }

    void write(QByteArrayView bytes);
    // Streams everything still readable from `source` into the file, in
    // chunks, handing each chunk to `observe` as well when given. A failed
    // read is a FileSystemError naming `sourceLabel`.
    void writeAll(QIODevice& source, const QString& sourceLabel,
                  const std::function<void(QByteArrayView)>& observe = {});
    // Puts the complete file in place of the target. After a failure the
    // target is as it was and the writer is finished.
    void commit();
    // Drops what was written; the target stays as it was.
    void cancel();

private:
    [[noreturn]] void fail(int errorNumber);

    QString m_path;
    QString m_temporaryPath;
    int m_descriptor = -1;
};

// Replaces (or creates) the file at `path` with `bytes` through a
// SafeFileWriter; throws FileSystemError and leaves the old file on failure.
void writeFileSafely(const QString& path, QByteArrayView bytes);

// Copies the file at `from` to `to` through a SafeFileWriter, streamed in
// chunks; throws FileSystemError and leaves `to` as it was on failure.
void copyFileSafely(const QString& from, const QString& to);

} // namespace quorrin
