#pragma once

#include "Domain/Note.h"
#include "Core/Text/AttributedString.h"

#include <QString>

#include <optional>

namespace quorrin::TitleText {

// A note's name holds at most this many user-perceived characters.
inline constexpr int maximumLength = 120;

// The UTF-16 length of the first `count` user-perceived characters of the
// text: a cut there falls on a grapheme boundary, so a surrogate pair or a
// combined character is never split.
int lengthOfFirstCharacters(const QString& text, int count);
QString firstCharacters(const QString& text, int count);

// The plain name typed into the title field: line feeds become blanks, the
// ends are trimmed of blanks and line breaks, and the rest is cut to the
// maximum length.
QString plainTitle(const QString& typed);

// The title form of a rich text: without paragraph styles, embedded files and
// the editor's marks (other than the presentation base); cut like the plain
// title; and,
// when the first character carries no font (or no colour), set in
// `titleFont` (or the dynamic text colour) throughout.
AttributedString sanitized(const AttributedString& source, const TextFont& titleFont);

// What a rename stores: the plain title, and the rich form only when the
// typed text needed neither flattening nor cutting. No plain title (blank
// input) removes the name.
struct Rename {
    std::optional<QString> plain;
    std::optional<AttributedString> rich;
};
Rename rename(const AttributedString& typed, const TextFont& titleFont);

// The window title: "Quorrin — " and the note's title when it has a custom
// title, else "Quorrin".
QString windowTitle(const Note& note);

} // namespace quorrin::TitleText
