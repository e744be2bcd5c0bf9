#pragma once

#include "Core/Files/FileIdentity.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace quorrin::filebookmark {

// A lasting link to a file or folder the program does not own: its canonical
// path and its identity (device, inode and, where the file system keeps one,
// birth time) when the link was made, as versioned bytes. Finding the file
// again answers the path and whether the entry there is still the same file
// ("stale" when it was replaced).

// The bookmark of an existing file or folder; throws FileSystemError.
QByteArray make(const QString& path);

struct Resolution {
    QString path;
    bool stale = false; // something else now sits at the path
};

// The file of a bookmark, or nothing for bytes that are not a bookmark of
// ours or whose path holds nothing any more.
std::optional<Resolution> resolve(const QByteArray& bookmark);

// The bytes and their reading, apart from the file system.
struct Contents {
    QString path; // absolute
    FileIdentity identity;

    friend bool operator==(const Contents&, const Contents&) = default;
};
QByteArray encode(const Contents& contents);
// Reads every version written so far; nothing for anything else.
std::optional<Contents> decode(const QByteArray& bookmark);

} // namespace quorrin::filebookmark
