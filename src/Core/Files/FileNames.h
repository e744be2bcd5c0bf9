#pragma once

#include <QString>

namespace quorrin::filenames {

// True for a name that denotes one entry directly inside a directory: not
// empty, not "." or "..", and free of "/" and NUL. Anything else could reach
// outside the directory it is joined to.
bool isPlainFileName(const QString& name);

// The text after the last full stop of a file name, or empty when there is
// none. A leading full stop starts a hidden name rather than an extension
// (".bashrc" has none), and a trailing full stop gives none either.
QString pathExtension(const QString& fileName);

// A new upper-case UUID, a full stop and the extension as given; an empty
// extension leaves the name ending in the full stop.
QString uuidFileName(const QString& extension);

// The name under which an imported file is stored: a new upper-case UUID, a
// full stop and the source's extension in lower case ("Photo.JPG" becomes
// "<UUID>.jpg").
QString storedAttachmentName(const QString& sourceFileName);

} // namespace quorrin::filenames
