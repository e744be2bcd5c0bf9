#pragma once

#include <QString>

namespace quorrin {

// Copies the directory tree at `from` to the new path `to` (which must not
// exist yet). Only directories and regular files are copied; a symbolic link
// or a special file anywhere in the tree is refused. Throws FileSystemError;
// a partial copy is removed before the error leaves.
void copyDirectoryRecursively(const QString& from, const QString& to);

// Removes the tree at `path` without following symbolic links inside it.
// Returns false when something could not be removed; a missing path counts as
// removed.
bool removeRecursively(const QString& path);

// A hidden working directory beside a final destination, for building
// something there and showing it under its final name in one atomic move.
// Until moveIntoPlace() succeeds the directory belongs to this object, which
// removes it (with whatever it holds) when it goes away.
class TemporarySibling {
public:
    // Chooses `<parent of destination>/<prefix><new UUID>`; creates nothing.
    TemporarySibling(const QString& destination, const QString& prefix);
    ~TemporarySibling();
    TemporarySibling(const TemporarySibling&) = delete;
    TemporarySibling& operator=(const TemporarySibling&) = delete;

    const QString& path() const { return m_path; }

    // Creates the directory (with intermediates); throws FileSystemError.
    void create();

    // Moves the directory to the destination without replacing anything that
    // appeared there meanwhile; throws FileSystemError and keeps ownership on
    // failure.
    void moveIntoPlace();

private:
    QString m_destination;
    QString m_path;
    bool m_owned = true;
};

} // namespace quorrin
