#pragma once

#include "Core/Text/AttributedString.h"

#include <QString>

#include <optional>

class QMimeData;

namespace quorrin::pastedtext {

// Rich text pasted or dropped into a note (HTML), reduced to what a note
// holds: bold, italic, underline, strikethrough, size, colour and links.
// Everything else arrives as plain text: headings and lists as ordinary
// lines, a table row by row with its cells separated by tabs; pictures and
// other embedded objects are left out. `base` stands for what the markup
// does not say: the family, the size of unsized text (relative sizes scale
// it), and the editor's marks and the paragraph style the text goes into.
// Sizes are kept at the half points a note stores, within 9...48 points.
AttributedString fromHtml(const QString& html, const TextAttributes& base);

// Plain text pasted or dropped into a note, in `base`; line ends of any
// kind separate its paragraphs, and object placeholders are left out.
AttributedString fromPlainText(QString text, const TextAttributes& base);

// The markup of what is pasted or dropped, when it carries any.
std::optional<QString> markup(const QMimeData& data);

} // namespace quorrin::pastedtext
