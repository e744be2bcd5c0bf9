#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quorrin::filebookmark {

// A lasting link to a file or folder the program does not own: its canonical
// path and its identity (device and inode) when the link was made, as
// versioned bytes. Finding the file again answers the path and whether the
// entry there is still the same file ("stale" when it was replaced).

// The bookmark of an existing file or folder; throws FileSystemError.
QByteArray make(const QString& path);

struct Resolution {
    QString path;
    bool stale = false; // something else now sits at the path
};

// The file of a bookmark, or nothing for bytes that are not a bookmark of
// ours or whose path holds nothing any more.
std::optional<Resolution> resolve(const QByteArray& bookmark);

} // namespace quorrin::filebookmark
