#pragma once

#include <QString>

#include <functional>

namespace quorrin::filecopy {

// The name a copy takes inside the chosen folder: the display name with
// every "/" and NUL made "_", so that it names one entry directly inside the
// folder; a name that is empty, "." or ".." gives way to `fallback` (treated
// the same way), and to "未命名文件" when that fails too.
QString copyName(const QString& displayName, const QString& fallback);

// The first name of "name", "name 2", "name 3"… (the number goes before the
// extension of a file: "a.txt", "a 2.txt") for which `taken` answers false.
QString freeName(const QString& name, bool isFolder, const std::function<bool(const QString&)>& taken);

// Whether `folder` is `source` itself or lies inside it (both canonical).
bool isSameOrInside(const QString& folder, const QString& source);

// Copies the file or folder at `source` into `folder` under a free form of
// `name`, never replacing anything: the copy is made under a hidden name
// beside its destination and then moved into place without replacing. Answers
// the copy's path. Throws FileSystemError; a partial copy is removed.
QString copyInto(const QString& source, const QString& folder, const QString& name);

} // namespace quorrin::filecopy
