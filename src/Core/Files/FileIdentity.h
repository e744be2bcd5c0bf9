#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace quorrin {

// When a file was created, as the file system recorded it.
struct BirthTime {
    qint64 seconds = 0;       // since 1970-01-01T00:00:00Z
    quint32 nanoseconds = 0;  // 0 to 999 999 999

    friend bool operator==(const BirthTime&, const BirthTime&) = default;
};

// What tells one file apart from another that later takes its path. Device and
// inode alone do not: a file deleted and made again at the same path can get
// the freed inode back. The birth time does, where the file system keeps one.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    std::optional<BirthTime> birth; // none where the file system has no birth time

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// Whether `current` is the file `recorded` was taken from. Birth times are
// compared only when both sides have one, so an identity recorded without it
// (or on a file system without it) still matches by device and inode.
bool isSameFile(const FileIdentity& recorded, const FileIdentity& current);

// The identity of the file or folder at `path` (symbolic links followed), or
// nothing with errno's value in `error` when it cannot be read.
std::optional<FileIdentity> fileIdentity(const QString& path, int* error = nullptr);

} // namespace quorrin
