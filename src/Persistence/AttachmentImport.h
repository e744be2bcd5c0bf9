#pragma once

#include "Domain/Attachment.h"
#include "Core/Time/Clock.h"

#include <QString>

namespace quorrin {

// Copies the file at `source` into `attachmentsDirectory` under a fresh name
// (a new upper-case UUID, a full stop and the source's extension in lower
// case) and describes the copy. The source is the user's own choice, so it is
// read normally, but only when it is a regular file (or a link to one).
// Throws FileSystemError when it cannot be read or the copy
// cannot be written; nothing is left behind then.
Attachment importAttachmentFile(const QString& source, const QString& attachmentsDirectory,
                                const Clock& clock = systemNow);

} // namespace quorrin
