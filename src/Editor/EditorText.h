#pragma once

#include "Domain/Block.h"
#include "Domain/Note.h"
#include "Core/Text/AttributedString.h"
#include "Editor/BlockHistory.h"

#include <QUuid>

#include <map>
#include <optional>
#include <set>
#include <vector>

namespace quorrin {

// One rendered stretch of the editor's text: a block's own line(s) or a todo's
// remarks, each including its closing line break.
struct TextRun {
    QUuid blockID;
    int start = 0;
    int length = 0;
    bool isRemarks = false;

    int end() const { return start + length; }
    bool contains(int position) const { return position >= start && position < end(); }
    friend bool operator==(const TextRun&, const TextRun&) = default;
};

// The pure rules of the editor's text: how a note becomes one text, how that
// text becomes a note again, how paragraphs are indented, and how the run
// table follows an edit.
namespace editortext {

inline constexpr QChar zeroWidthSpace{0x200B};
inline constexpr QChar attachmentCharacter{0xFFFC};
inline const QString remarksRole = QStringLiteral("notes");
inline constexpr double bodyFontSize = 14;
inline constexpr double remarksFontSize = 12;
inline constexpr double captionFontSize = 11;

QString idString(const QUuid& id); // upper-case, hyphenated, no braces
std::optional<QUuid> blockIDAt(const AttributedString& text, int position);
bool isRemarksAt(const AttributedString& text, int position);
std::optional<QString> roleAt(const AttributedString& text, int position);

// 25, 21 and 17 points for the headings; nothing for other kinds.
std::optional<double> headingSize(BlockKind kind);

// The caption that follows an attachment's placeholder character.
QString attachmentCaption(const Attachment& attachment);

// What new text looks like unless the note says otherwise: the system font
// at the body size.
TextAttributes defaultNewText();

// One block's run without its line break: the stored text (or, for an image
// or PDF, the placeholder character and the caption), headings in bold at
// their size, an empty run as one U+200B in `newText`, the block id on every
// character.
AttributedString blockRun(const Block& block, const TextAttributes& newText = defaultNewText());
// A todo's remarks at 12 points with the block id and the "notes" role.
AttributedString remarksRun(const Block& block, const TextAttributes& newText = defaultNewText());

struct RenderedText {
    AttributedString text;
    std::vector<TextRun> ranges;
};
// `newText` is what an empty line shows, and what text typed there takes.
RenderedText render(const std::vector<Block>& displayBlocks, const TextAttributes& newText = defaultNewText());
// Whether a block's text shows its remarks below its own line.
bool showsRemarks(const Block& block);

// Renders display blocks one after another onto the end of a text, as
// `render` does the whole: a long note's text can be made a part at a time.
class BlockRenderer {
public:
    explicit BlockRenderer(TextAttributes newText = defaultNewText());

    // Appends the block's line and, when it shows them, its remarks, each
    // with its line break, their ranges counted in `onto`.
    void add(const Block& block, RenderedText& onto);

private:
    // A row of blocks that store the same bytes (the empty or repeated
    // lines of a long text) has them read once.
    const AttributedString& read(const RichText& text);

    TextAttributes m_newText;
    QByteArray m_readBytes;
    std::optional<AttributedString> m_read;
};

// One paragraph of the editor's text as read back (its separator included
// when it has one); start is its position in the whole text.
struct Paragraph {
    AttributedString text;
    int start = 0;
};

// What the write-back needs of one paragraph, all of it read from the
// paragraph's own text. A paragraph no edit touched keeps its reading, so a
// write-back reads (and encodes) only the paragraphs that changed.
struct ParagraphReading {
    int start = 0;
    int length = 0;                 // with the separator
    std::optional<QUuid> markedID;  // the block id its first character carries
    std::optional<QString> role;    // the role its first character carries
    AttributedString content;       // without line terminators and U+200B
    RichText stored;                // the content as a block stores it
    friend bool operator==(const ParagraphReading&, const ParagraphReading&) = default;
};
ParagraphReading reading(const Paragraph& paragraph);
// The same readings, for many paragraphs read in a row. Neighbouring lines
// mostly carry one block id and one set of attributes: the id is parsed,
// and what is stored of the attributes worked out, once for a row of
// paragraphs that share them.
class ReadingSeries {
public:
    ParagraphReading read(Paragraph paragraph);

private:
    std::optional<QUuid> idIn(const QString& text);

    RichText::Series m_stored;
    QString m_idText; // the last id text met, and the id it stands for
    std::optional<QUuid> m_id;
};

struct WriteBack {
    Note note;
    std::vector<TextRun> ranges;
    // Paragraph index to the block id and role the text should now carry.
    struct Mark {
        QUuid blockID;
        bool isRemarks = false;
        friend bool operator==(const Mark&, const Mark&) = default;
    };
    std::vector<Mark> marks;
    // Text typed into an image's or PDF's line was moved into a block of its
    // own; the text must be shown again to reflect that.
    bool needsRender = false;
};

// Writes the paragraphs back into the note. `history` holds every block the
// editor has shown, so that text restored by an undo brings its block back
// with its kind and todo data. `shownRemarks` names the todos whose remarks
// the text held when it was last shown or written back: remarks no longer in
// the text were typed over or deleted, and the todo keeps and shows none.
WriteBack writeBack(const Note& note, const std::vector<Paragraph>& paragraphs,
                    const std::vector<TextRun>& ranges, const BlockHistory& history, Date now,
                    const std::set<QUuid>& shownRemarks = {});
WriteBack writeBack(const Note& note, const std::vector<ParagraphReading>& paragraphs,
                    const std::vector<TextRun>& ranges, const BlockHistory& history, Date now,
                    const std::set<QUuid>& shownRemarks = {});
// The todos whose remarks a run table holds.
std::set<QUuid> remarksIn(const std::vector<TextRun>& ranges);

// The run table after an edit of the characters [a, a + b) of the new text
// that changed the length by d.
std::vector<TextRun> adjustRanges(const std::vector<TextRun>& ranges, int a, int b, int d);

// Paragraph indents and spacing.
struct ParagraphInput {
    const Block* block = nullptr; // may be absent
    bool isRemarks = false;
    double revealProgress = 1;
    bool endsRun = false;        // the paragraph ends where its run ends
    bool isLastRunOfBlock = false;
    double shelfHeight = 0;      // the gap a todo's file shelf needs below its last run
    std::optional<ParagraphStyle> current;
    std::optional<QList<double>> storedBase;
};
struct ParagraphLayout {
    ParagraphStyle style;
    double indent = 0;
    double tail = 0;
    double spacing = 0;
    QList<double> base;
};
ParagraphLayout layoutParagraph(const ParagraphInput& input);

// Everything a paragraph's layout depends on besides the paragraph's own
// formats: a paragraph unchanged since it was laid out with the same key
// needs no layout pass.
struct ParagraphLayoutKey {
    bool hasBlock = false;
    BlockKind kind = BlockKind::Paragraph;
    bool hasTodo = false;
    bool hasReminder = false;
    bool notesExpanded = false;
    bool isRemarks = false;
    double revealProgress = 1;
    bool endsRun = false;
    bool isLastRunOfBlock = false;
    double shelfHeight = 0;
    friend bool operator==(const ParagraphLayoutKey&, const ParagraphLayoutKey&) = default;
};
ParagraphLayoutKey layoutKey(const ParagraphInput& input);

// Where a caret of the old text stands once the note is shown anew: in the same
// run at the same offset, less a U+200B placeholder the run no longer has, and
// never past the run's own line break. A caret outside every run, or in a run
// that is gone, keeps its position but never goes past the last line's break
// into the empty line after it.
//
// Of the new text it reads only the first run with the id and role of the
// caret's old run or, when there is none, whether the text reaches past the
// caret: a text rendered through that run and past the caret places it as
// the whole text would.
int caretAfterRender(const std::vector<TextRun>& before, const QString& beforeText, int caret,
                     const std::vector<TextRun>& after, const QString& afterText);
// The run a caret of a text stands in, if any.
const TextRun* caretRun(const std::vector<TextRun>& ranges, const QString& text, int caret);

// Undo steps count positions in the characters the stored text has: the
// U+200B placeholder of an empty run is never stored, and a render adds or
// drops it, so a position that counted it would point elsewhere afterwards.
int storedPosition(QStringView text, int position);
// The characters [start, end) of `text` that hold `expected` from the stored
// position `position` on, placeholders on either side left out of the
// comparison; nothing when they hold anything else. A placeholder at the
// place itself lies before the span unless `expected` begins with one.
struct TextSpan {
    int start = 0;
    int end = 0;
};
std::optional<TextSpan> storedSpan(QStringView text, int position, QStringView expected);

// The id of the run under a caret position: the first run holding it, or the
// run ending at it when it is the end of the text.
std::optional<QUuid> runAt(const std::vector<TextRun>& ranges, int position, int textLength);

} // namespace editortext
} // namespace quorrin
