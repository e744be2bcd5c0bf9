#pragma once

#include "Platform/DesktopOpener.h"

#include <QString>

namespace quorrin {

// Shows a file or folder selected in the desktop's file manager
// (org.freedesktop.FileManager1); where no file manager answers, the folder
// that holds it is opened instead, and when nothing opens that either,
// `failed` is told. Returns at once.
void revealInFileManager(const QString& path, OpenFailure failed);

// What revealInFileManager() tells when nothing showed `path`.
QString revealFailureMessage(const QString& path);

} // namespace quorrin
