#pragma once

#include "Core/Text/AttributedString.h"
#include "Editor/EditorText.h"
#include "Editor/TextDocumentConversion.h"

#include <QString>
#include <QTextFormat>

#include <functional>
#include <vector>

class QTextBlock;
class QTextDocument;

// Reading the editor's text document back as the model sees it, and the
// paragraph presentation amounts the layout pass keeps on each paragraph.
namespace quorrin::editordoc {

// The character format at a position; a paragraph separator takes the next
// paragraph's format.
QTextCharFormat charFormatAt(const QTextDocument& document, int position);

// The number of characters, without the document's final paragraph separator.
int textLength(const QTextDocument& document);

// The amounts the paragraph layout added to a paragraph's style, kept on the
// paragraph itself: characters typed since the last layout pass carry none of
// their own, yet their paragraph shows (and reads back) the full style.
void addPresentation(QTextBlockFormat& format, const QTextCharFormat& marks);
bool samePresentation(const QTextFormat& a, const QTextFormat& b);

// Reads paragraphs as the write-back sees them, with their block's
// presentation amounts on every character, so that storing one subtracts
// exactly what the layout added. Each pair of formats met is converted once,
// amounts included: valid while the document does not change.
class ParagraphReader {
public:
    ParagraphReader();
    // The block at `position` (its position in the document).
    AttributedString read(const QTextBlock& block, int position, bool withSeparator);

private:
    textdoc::FormatCache m_formats;
};

// The paragraphs of the text as the model sees them: one per block, each with
// its separator; the empty block after a final line break is no paragraph.
std::vector<editortext::Paragraph> readParagraphs(const QTextDocument& document);
// The same paragraphs, each handed to `take` as soon as it is read, so that
// a caller keeping less of each need not hold them all at once.
void readParagraphs(const QTextDocument& document, const std::function<void(editortext::Paragraph)>& take);

// The family to show for a preferences' font name: the system family when the
// name is the system's or not installed.
QString fontFamilyFor(const QString& name);

} // namespace quorrin::editordoc
