#pragma once

#include "Platform/Core/AttributedString.h"

#include <QByteArray>

#include <optional>

namespace quorrin::rtf {

// Writes the text as an RTF document. Deterministic: the same text always
// gives the same bytes.
QByteArray write(const AttributedString& text);

// Reads an RTF document; nothing when the bytes are not RTF.
std::optional<AttributedString> read(const QByteArray& document);

} // namespace quorrin::rtf
