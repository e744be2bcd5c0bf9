#pragma once

#include <QIODevice>
#include <QString>

namespace quorrin::digest {

// SHA-256 of everything still readable from `source`, streamed in chunks, as
// 64 lower-case hexadecimal digits. Throws FileSystemError when a read fails;
// `label` names the source in that message.
QString sha256Hex(QIODevice& source, const QString& label);

// SHA-256 of the file at `path` (opened normally, links followed).
QString sha256HexOfFile(const QString& path);

// SHA-256 of bytes already in memory.
QString sha256Hex(const QByteArray& bytes);

// Streams everything readable from `source` into a new file at
// `destinationPath`, written atomically (a temporary file renamed into place
// once complete), and returns the SHA-256 of the bytes copied. Throws
// FileSystemError; on failure nothing is left at the destination.
QString copyHashing(QIODevice& source, const QString& label, const QString& destinationPath);

// True for exactly 64 characters of 0-9 and a-f: the only spelling a stored
// checksum has.
bool isLowerHexSha256(const QString& text);

} // namespace quorrin::digest
