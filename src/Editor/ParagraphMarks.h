#pragma once

#include "Editor/EditorText.h"

#include <QString>
#include <QTextFormat>

#include <optional>
#include <utility>
#include <vector>

class QTextBlock;
class QTextCursor;

// Bringing paragraphs of the editor's text to what the write-back and the
// layout pass settled for them: the block id and role on their characters,
// and the style and presentation amounts of their layout on the paragraph
// and on its characters. A paragraph's formats are read once for both, and
// every span of its characters is changed at most once, however many of the
// two it needs.
namespace quorrin::paragraphmarks {

// The block id (as the text carries it) and the role to mark with.
struct IdMark {
    QString id;
    bool isRemarks = false;
};

// One pass over paragraphs, in one edit of `cursor`'s document.
class Pass {
public:
    explicit Pass(QTextCursor& cursor);

    // Applies `mark` (when given) to every character of `paragraph` and its
    // separator, and the layout of `layout` (when given) to the characters
    // [from, to) of it, where either differs from what they carry; whether
    // the layout changed the paragraph's style or a character's presentation.
    bool apply(const QTextBlock& paragraph, int from, int to, const IdMark* mark,
                  const editortext::ParagraphInput* layout);

private:
    // What the layout asks of a paragraph: its block format when that must
    // change, and the presentation marks its characters must carry.
    struct LayoutChange {
        std::optional<QTextBlockFormat> block;
        QTextCharFormat marks;
    };
    // The layout of the last paragraph laid out, with what it was worked
    // out from: many paragraphs in a row share their inputs and formats,
    // and then their layout.
    struct Worked {
        editortext::ParagraphLayoutKey key;
        int blockFormat = -1;
        int firstFormat = -1;
        LayoutChange change;
        QList<double> base;
        std::vector<std::pair<int, bool>> carriesMarks; // by character format index
    };
    bool carriesMarks(int formatIndex, const QTextCharFormat& format);

    QTextCursor& m_cursor;
    std::optional<Worked> m_worked;
};

} // namespace quorrin::paragraphmarks
