#pragma once

#include "Domain/Note.h"
#include "Features/DocumentFormats.h"
#include "Core/Text/AttributedString.h"

#include <QString>

#include <functional>
#include <vector>

namespace quorrin::documents {

// One block's worth of an imported document: a paragraph's text without its
// line break and without its attachments, or one attachment, named by its file.
struct DocumentPiece {
    enum class Kind { Paragraph, Attachment };
    Kind kind = Kind::Paragraph;
    AttributedString text; // a paragraph's text
    QString fileName;      // an attachment's file
};

// Splits a document's text into paragraphs at "\n", "\r", "\r\n", U+0085 and
// U+2029, dropping each paragraph's trailing line breaks. A paragraph yields
// its text (empty lines included) followed by its attachments in text order;
// a paragraph that held only attachments yields just them.
std::vector<DocumentPiece> splitIntoPieces(const AttributedString& text);
// The same pieces, handed to `take` one at a time as they are split off: a
// long document's pieces are never all held at once.
void forEachPiece(const AttributedString& text, const std::function<void(DocumentPiece)>& take);
// No fewer than the pieces of `text`: one a paragraph and one an attachment
// character, counted without splitting it.
std::size_t piecesAtMost(const AttributedString& text);

// The block kind an attachment file becomes: a PDF by its extension, in any
// case, otherwise an image.
BlockKind attachmentKind(const QString& fileName);

// A note as a reader sees it: the shown blocks in order, bullets and todo
// boxes as text prefixes, a todo's priority as a word, remarks on an indented
// line after their todo. With `embed`, each attachment whose file can be read
// from `attachmentsDirectory` becomes an embedded file (a U+FFFC carrying
// rtf::attachmentAttribute) under a bundle-safe, unique version of its
// original name; otherwise it becomes "[附件：name]".
struct RenderedNote {
    AttributedString text;
    std::vector<EmbeddedFile> files;
};
RenderedNote renderNote(const Note& note, const QString& attachmentsDirectory, bool embed);

// The word for a todo priority; values outside 1...4 take the nearest one.
QString priorityWord(qint64 priority);

} // namespace quorrin::documents
