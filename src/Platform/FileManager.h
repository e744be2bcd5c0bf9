#pragma once

#include <QString>

namespace quorrin {

// Shows a file or folder selected in the desktop's file manager
// (org.freedesktop.FileManager1); where no file manager answers, the folder
// that holds it is opened instead. Returns at once.
void revealInFileManager(const QString& path);

} // namespace quorrin
