#pragma once

#include "Domain/Attachment.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace quorrin::attachments {

// The folder of stored attachments in a data directory.
QString directoryIn(const QString& storeRoot);

// An attachment's stored name comes from the note's data, so it is followed
// only when it is one plain file name inside the attachments folder and the
// entry there is a regular file, never a symbolic link.
std::optional<QString> storedFilePath(const QString& storeRoot, const Attachment& attachment);

// The stored file's bytes on the same terms, read without following links;
// nothing when the file cannot be read.
std::optional<QByteArray> readStoredFile(const QString& attachmentsDirectory, const QString& relativePath);

} // namespace quorrin::attachments
