#pragma once

#include <QString>

namespace quorrin {

// Moves `from` to `to` in one atomic step that never replaces anything: when
// an entry already exists at `to`, or the file system cannot promise that, a
// FileSystemError is thrown and both paths are left as they were.
void renameNoReplace(const QString& from, const QString& to);

} // namespace quorrin
