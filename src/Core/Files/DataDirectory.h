#pragma once

#include <QString>

namespace quorrin {

// The environment variable that points the program at another data directory.
inline constexpr const char* dataDirectoryVariable = "QUORRIN_DATA_DIR";

// The data directory: the override when it is non-empty (taken as a path,
// whatever it holds), otherwise "Quorrin" inside the generic data location.
QString resolveDataDirectory(const QString& overrideValue, const QString& genericDataLocation);

// resolveDataDirectory over the real environment and the user's generic data
// location (XDG_DATA_HOME), made absolute.
QString defaultDataDirectory();

} // namespace quorrin
