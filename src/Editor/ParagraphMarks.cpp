#include "Editor/ParagraphMarks.h"

#include "Editor/EditorDocument.h"
#include "Editor/TextDocumentConversion.h"

#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <vector>

namespace quorrin::paragraphmarks {
namespace {

// A stretch of the paragraph's characters in one format, as it was before
// this pass changed anything.
struct Piece {
    int from;
    int to;
    int formatIndex;
    QTextCharFormat format;
};

// The paragraph's fragments, then its separator (which carries the next
// paragraph's character format) when it has one.
std::vector<Piece> piecesOf(const QTextBlock& paragraph, int position, int separator)
{
    std::vector<Piece> pieces;
    // Each fragment starts where the one before it ends: asking a fragment
    // for its position searches the whole text's fragments again.
    for (auto it = paragraph.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        pieces.push_back({position, position + fragment.length(), fragment.charFormatIndex(), fragment.charFormat()});
        position += fragment.length();
    }
    if (const QTextBlock next = paragraph.next(); next.isValid())
        pieces.push_back({separator, separator + 1, next.charFormatIndex(), next.charFormat()});
    return pieces;
}

// The piece holding the character at `position`, if any: a paragraph's
// last one, past its separator, has none (editordoc::charFormatAt tells an
// empty format there).
const Piece* pieceAt(const std::vector<Piece>& pieces, int position)
{
    const auto piece = std::find_if(pieces.begin(), pieces.end(),
                                    [&](const Piece& p) { return position >= p.from && position < p.to; });
    return piece == pieces.end() ? nullptr : &*piece;
}

bool needsMark(const QTextCharFormat& format, const IdMark& mark)
{
    if (format.property(textdoc::BlockID).toString() != mark.id)
        return true;
    return mark.isRemarks ? format.property(textdoc::BlockRole).toString() != editortext::remarksRole
                          : format.hasProperty(textdoc::BlockRole);
}

} // namespace

Pass::Pass(QTextCursor& cursor)
    : m_cursor(cursor)
{
}

bool Pass::carriesMarks(int formatIndex, const QTextCharFormat& format)
{
    for (const auto& [index, carries] : m_worked->carriesMarks) {
        if (index == formatIndex)
            return carries;
    }
    const QTextCharFormat& marks = m_worked->change.marks;
    const bool carries = format.property(textdoc::PresentationIndent) == marks.property(textdoc::PresentationIndent)
        && format.property(textdoc::PresentationTail) == marks.property(textdoc::PresentationTail)
        && format.property(textdoc::PresentationSpacing) == marks.property(textdoc::PresentationSpacing)
        && format.property(textdoc::PresentationBase).value<QList<double>>() == m_worked->base;
    if (formatIndex >= 0)
        m_worked->carriesMarks.emplace_back(formatIndex, carries);
    return carries;
}

bool Pass::apply(const QTextBlock& paragraph, int from, int to, const IdMark* mark,
                 const editortext::ParagraphInput* layout)
{
    const int position = paragraph.position();
    const int separator = position + paragraph.length() - 1;
    const std::vector<Piece> pieces = piecesOf(paragraph, position, separator);
    const Piece* first = pieceAt(pieces, from);
    bool characters = false;
    bool blockChanges = false;
    if (layout) {
        const editortext::ParagraphLayoutKey key = editortext::layoutKey(*layout);
        const int blockFormat = paragraph.blockFormatIndex();
        const int firstFormat = first ? first->formatIndex : -1;
        if (!m_worked || !(m_worked->key == key) || m_worked->blockFormat != blockFormat || blockFormat < 0
            || m_worked->firstFormat != firstFormat) {
            const QTextBlockFormat format = paragraph.blockFormat();
            editortext::ParagraphInput input = *layout;
            input.current = textdoc::paragraphStyle(format);
            // The paragraph's own record of its base wins over a character's.
            const QVariant storedBase = format.hasProperty(textdoc::PresentationBase)
                ? format.property(textdoc::PresentationBase)
                : (first ? first->format : QTextCharFormat()).property(textdoc::PresentationBase);
            if (const auto base = textdoc::fromVariant(storedBase)) {
                if (const auto* numbers = std::get_if<QList<double>>(&*base))
                    input.storedBase = *numbers;
            }
            const editortext::ParagraphLayout laidOut = editortext::layoutParagraph(input);
            Worked worked{key, blockFormat, firstFormat, {}, laidOut.base, {}};
            QTextCharFormat& marks = worked.change.marks;
            marks.setProperty(textdoc::PresentationIndent, laidOut.indent);
            marks.setProperty(textdoc::PresentationTail, laidOut.tail);
            marks.setProperty(textdoc::PresentationSpacing, laidOut.spacing);
            marks.setProperty(textdoc::PresentationBase, QVariant::fromValue(laidOut.base));
            if (input.current != laidOut.style || !editordoc::samePresentation(format, marks)) {
                QTextBlockFormat changed = textdoc::blockFormat(laidOut.style);
                editordoc::addPresentation(changed, marks);
                worked.change.block = std::move(changed);
            }
            m_worked = std::move(worked);
        }
        blockChanges = m_worked->change.block.has_value();
        // The characters are checked at both ends of the span and across
        // the paragraph's own text; one that differs has all of [from, to)
        // marked.
        const auto carries = [&](const Piece* piece) {
            return piece ? carriesMarks(piece->formatIndex, piece->format) : carriesMarks(-1, QTextCharFormat());
        };
        bool uniform = carries(first) && carries(pieceAt(pieces, to - 1));
        for (const Piece& piece : pieces) {
            if (!uniform || piece.from == separator)
                break; // the separator is checked only as the span's end
            uniform = carries(&piece);
        }
        characters = !uniform;
    }

    // Each piece is cut where [from, to) begins and ends: the layout's marks
    // go on the characters inside only. Neighbours changed alike are changed
    // in one go.
    struct Span {
        int from;
        int to;
        const QTextCharFormat* format;
        bool marks;
        bool presentation;
    };
    std::vector<Span> spans;
    bool laidOut = false;
    for (const Piece& piece : pieces) {
        const bool marks = mark && needsMark(piece.format, *mark);
        const int cuts[] = {piece.from, std::clamp(from, piece.from, piece.to), std::clamp(to, piece.from, piece.to),
                            piece.to};
        for (int k = 0; k < 3; ++k) {
            if (cuts[k] >= cuts[k + 1])
                continue;
            const bool presentation = characters && k == 1;
            if (!marks && !presentation)
                continue;
            laidOut = laidOut || presentation;
            if (!spans.empty()) {
                Span& last = spans.back();
                if (last.to == cuts[k] && last.marks == marks && last.presentation == presentation
                    && *last.format == piece.format) {
                    last.to = cuts[k + 1];
                    continue;
                }
            }
            spans.push_back({cuts[k], cuts[k + 1], &piece.format, marks, presentation});
        }
    }
    for (const Span& span : spans) {
        QTextCharFormat format = *span.format;
        if (span.marks) {
            format.setProperty(textdoc::BlockID, mark->id);
            if (mark->isRemarks)
                format.setProperty(textdoc::BlockRole, editortext::remarksRole);
            else
                format.clearProperty(textdoc::BlockRole);
        }
        if (span.presentation)
            format.merge(m_worked->change.marks);
        m_cursor.setPosition(span.from);
        m_cursor.setPosition(span.to, QTextCursor::KeepAnchor);
        m_cursor.setCharFormat(format);
    }
    if (blockChanges) {
        m_cursor.setPosition(position);
        m_cursor.setBlockFormat(*m_worked->change.block);
        laidOut = true;
    }
    return laidOut;
}

} // namespace quorrin::paragraphmarks
