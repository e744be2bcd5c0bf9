#pragma once

#include "Domain/Attachment.h"

#include <QByteArray>
#include <QString>

namespace quorrin {

class NoteStore;

// Stores an annotated version of `original` as a new file in the store's
// attachments folder (a new UUID name with `extension`) and points every
// block that shows `original`, in live and deleted notes, at it with the new
// file's SHA-256 checksum and `extension` as content type, in one save. The
// original file stays as it is. On failure the new file is removed, no block
// changes, and the error is thrown. Returns the attachment as the blocks now
// hold it.
Attachment saveAnnotatedCopy(NoteStore& store, const Attachment& original, const QByteArray& data,
                             const QString& extension);

} // namespace quorrin
