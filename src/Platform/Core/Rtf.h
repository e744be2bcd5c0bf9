#pragma once

#include "Platform/Core/AttributedString.h"

#include <QByteArray>

#include <optional>

namespace quorrin::rtf {

// An embedded file is one U+FFFC character carrying this custom attribute,
// whose value is the file's name. Documents hold it as a NeXT-style
// attachment group, {{\NeXTGraphic name}\u172?}, which names a file beside
// the document inside an RTFD bundle; the reader never takes the attribute
// from anywhere else, and the writer keeps it only on U+FFFC characters.
inline const QString attachmentAttribute = QStringLiteral("Quorrin.attachment");
inline constexpr char16_t attachmentCharacter = u'\uFFFC';

// Writes the text as an RTF document (7-bit ASCII; non-ASCII as \uN).
// Deterministic: the same text always gives the same bytes, and writing what
// was read from our own output gives that output again byte for byte.
// Values are kept at RTF precision: font sizes in half points, distances in
// twips, colour components in 8 bits.
QByteArray write(const AttributedString& text);

// Reads an RTF document, ours or another program's; nothing when the bytes
// are not an RTF document. Never throws.
std::optional<AttributedString> read(const QByteArray& document);

} // namespace quorrin::rtf
