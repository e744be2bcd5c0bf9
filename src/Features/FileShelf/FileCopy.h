#pragma once

#include <QString>


namespace quorrin::filecopy {

// The name a copy takes inside the chosen folder: the display name with
// every "/" and NUL made "_", so that it names one entry directly inside the
// folder; a name that is empty, "." or ".." gives way to `fallback` (treated
// the same way), and to "未命名文件" when that fails too.
QString copyName(const QString& displayName, const QString& fallback);

// Whether `folder` is `source` itself or lies inside it (both canonical).
bool isSameOrInside(const QString& folder, const QString& source);

// The message of a copy refused because its name is taken in the folder.
inline const QString nameTakenMessage = QStringLiteral("目标存在同名文件，未覆盖原有内容。");

// Copies the file or folder at `source` into `folder` as `name`, never
// replacing anything: the copy is made under a hidden name beside its
// destination and then moved into place without replacing. Answers the
// copy's path. Throws AppError with nameTakenMessage when something already
// has that name (also when it appears while copying), else FileSystemError;
// a partial copy is removed.
QString copyInto(const QString& source, const QString& folder, const QString& name);

} // namespace quorrin::filecopy
