#pragma once

#include <QFile>
#include <QString>

#include <memory>

namespace quorrin {

// A regular file opened read-only by its plain name inside a directory, for
// reading content that may be hostile (a backup package, say). A symbolic
// link as the directory or as the file is refused rather than followed, and
// anything that is not a regular file (a FIFO would block a read forever) is
// refused without reading from it.
class NoFollowFile {
public:
    enum class Status { opened, missing, notRegularFile };

    // Throws FileSystemError when `name` is not a plain file name, when the
    // directory exists but cannot be opened as a real directory, and on any
    // failure other than the file's absence.
    static NoFollowFile open(const QString& directory, const QString& name);

    Status status() const { return m_status; }
    bool isOpen() const { return m_status == Status::opened; }
    QString path() const { return m_path; }
    // The open file; only when isOpen().
    QFile& file() { return *m_file; }

private:
    NoFollowFile(Status status, QString path, std::unique_ptr<QFile> file);

    Status m_status;
    QString m_path;
    std::unique_ptr<QFile> m_file;
};

} // namespace quorrin
