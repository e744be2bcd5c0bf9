#include "Editor/DocumentMirror.h"

#include "Editor/EditorDocument.h"
#include "Editor/TextDocumentConversion.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace quorrin {

DocumentMirror::DocumentMirror(const QTextDocument& document)
    : m_document(document)
    , m_text(textdoc::contents(document))
{
}

std::optional<DocumentMirror::Edit> DocumentMirror::follow(int position, int removed, int added)
{
    if (m_ownMarks && removed != added)
        m_ownMarksMissed = true; // more than marks: `mark` reads everything anew
    if (m_suspended || m_ownMarks) {
        if (m_dirty)
            m_dirty->readWhole = false; // changed since, by a report not followed
        return std::nullopt;
    }
    const int length = editordoc::textLength(m_document);
    // Qt may count the document's closing character in a report.
    const int overshoot = position + removed - m_text.length();
    if (overshoot > 0) {
        removed -= overshoot;
        added -= overshoot;
    }
    if (position < 0 || removed < 0 || added < 0 || m_text.length() - removed + added != length) {
        m_text = textdoc::contents(m_document);
        m_paragraphsStale = true;
        m_dirty.reset();
        return std::nullopt;
    }
    Edit edit{m_text.substring(position, removed), textdoc::read(m_document, position, added)};
    m_text.replace(position, removed, edit.after);
    markDirty(position, removed, added);
    return edit;
}

namespace {

// The block id (as the text carries it) and the role a span is marked with.
struct SpanMark {
    QString id;
    bool isRemarks = false;
};

// Appends the characters [start, end) of `text` to `out`, with the id and
// role of `mark` when there is one: each run's attributes are copied once.
void appendSpan(const AttributedString& text, int start, int end, const SpanMark* mark, AttributedString& out)
{
    const std::vector<AttributedString::Run>& runs = text.runs();
    auto run = std::upper_bound(runs.begin(), runs.end(), start,
                                [](int value, const AttributedString::Run& r) { return value < r.start; });
    if (run != runs.begin())
        --run;
    for (; run != runs.end() && run->start < end; ++run) {
        const int from = std::max(start, run->start);
        const int to = std::min(end, run->start + run->length);
        if (from >= to)
            continue;
        TextAttributes attributes = run->attributes;
        if (mark) {
            attributes.custom[EditorAttribute::blockID] = mark->id;
            if (mark->isRemarks)
                attributes.custom[EditorAttribute::blockRole] = editortext::remarksRole;
            else
                attributes.custom.erase(EditorAttribute::blockRole);
        }
        out.append(text.string().mid(from, to - from), std::move(attributes));
    }
}

// What a paragraph's reading says of its first character once the
// paragraph carries `mark`.
void takeMark(editortext::ParagraphReading& paragraph, const editortext::WriteBack::Mark& mark)
{
    paragraph.markedID = paragraph.length > 0 && !mark.blockID.isNull() ? std::optional(mark.blockID) : std::nullopt;
    paragraph.role = paragraph.length > 0 && mark.isRemarks ? std::optional(editortext::remarksRole) : std::nullopt;
}

} // namespace

DocumentMirror::OwnMarks::OwnMarks(DocumentMirror& mirror)
    : m_mirror(mirror)
    , m_current(!mirror.m_suspended && !mirror.m_paragraphsStale && !mirror.m_dirty)
{
    m_mirror.m_ownMarks = m_current;
    m_mirror.m_ownMarksMissed = false;
}

DocumentMirror::OwnMarks::~OwnMarks()
{
    m_mirror.m_ownMarks = false;
}

void DocumentMirror::OwnMarks::mark(const std::vector<std::size_t>& indices,
                                    const std::vector<editortext::WriteBack::Mark>& marks,
                                    std::optional<editortext::TextSpan> laidOut)
{
    if (!m_current)
        return; // the reports were followed
    m_mirror.m_ownMarks = false;
    if (m_mirror.m_ownMarksMissed) {
        m_mirror.reread();
        return;
    }
    markCopy(indices, marks);
    // What the document would have reported of the layout alone.
    if (laidOut)
        m_mirror.follow(laidOut->start, laidOut->end - laidOut->start, laidOut->end - laidOut->start);
}

void DocumentMirror::OwnMarks::markCopy(const std::vector<std::size_t>& indices,
                                        const std::vector<editortext::WriteBack::Mark>& marks)
{
    if (indices.empty())
        return;
    std::vector<editortext::ParagraphReading>& paragraphs = m_mirror.m_paragraphs;
    AttributedString& whole = m_mirror.m_text;
    // Only the stretch from the first marked paragraph to the last one is
    // built anew, piece by piece, and put in place of the old: marking in
    // place would go over all its runs once for each paragraph, and building
    // the whole text anew would make marking a long text a slice at a time
    // cost the whole text for every slice.
    const editortext::ParagraphReading& firstMarked = paragraphs[indices.front()];
    const editortext::ParagraphReading& lastMarked = paragraphs[indices.back()];
    const int from = firstMarked.start;
    const int to = lastMarked.start + lastMarked.length;
    AttributedString text;
    // The runs there were, and at most one more for each marked paragraph.
    const std::vector<AttributedString::Run>& runs = whole.runs();
    const auto runAt = [&](int position) {
        return std::upper_bound(runs.begin(), runs.end(), position,
                                [](int value, const AttributedString::Run& r) { return value < r.start; });
    };
    text.reserve(to - from, std::size_t(runAt(to) - runAt(from)) + 1 + indices.size());
    int copied = from;
    for (const std::size_t index : indices) {
        editortext::ParagraphReading& paragraph = paragraphs[index];
        const editortext::WriteBack::Mark& mark = marks[index];
        const SpanMark spanMark{editortext::idString(mark.blockID), mark.isRemarks};
        const int end = paragraph.start + paragraph.length;
        appendSpan(whole, copied, paragraph.start, nullptr, text);
        appendSpan(whole, paragraph.start, end, &spanMark, text);
        copied = end;
        takeMark(paragraph, mark);
        AttributedString content;
        appendSpan(paragraph.content, 0, paragraph.content.length(), &spanMark, content);
        paragraph.content = std::move(content);
    }
    whole.replace(from, to - from, text);
}

void DocumentMirror::expectMarks(ParagraphSpan span, const std::vector<editortext::WriteBack::Mark>& marks)
{
    for (std::size_t i = span.from; i < span.to && i < m_paragraphs.size() && i < marks.size(); ++i) {
        if (m_memos[i].mark == marks[i])
            continue;
        takeMark(m_paragraphs[i], marks[i]);
    }
}

void DocumentMirror::suspend()
{
    m_suspended = true;
}

void DocumentMirror::reread()
{
    m_suspended = false;
    m_text = textdoc::contents(m_document);
    m_paragraphsStale = true;
    m_dirty.reset();
}

void DocumentMirror::markDirty(int position, int removed, int added)
{
    if (m_paragraphsStale)
        return;
    if (!m_dirty) {
        m_dirty = Dirty{position, position + added, added - removed, true};
        return;
    }
    Dirty& dirty = *m_dirty;
    dirty.readWhole = false;
    // Where the old end of the dirty stretch lies once this edit is made.
    int high = dirty.high;
    if (high >= position + removed)
        high += added - removed;
    else if (high > position)
        high = position + added;
    dirty.low = std::min(dirty.low, position);
    dirty.high = std::max(high, position + added);
    dirty.delta += added - removed;
}

void DocumentMirror::refreshParagraphs()
{
    if (m_suspended || m_paragraphsStale || m_paragraphs.empty()) {
        readAllParagraphs();
        return;
    }
    if (!m_dirty)
        return;
    const Dirty dirty = *m_dirty;
    m_dirty.reset();
    if (!refreshSpan(dirty)) {
        // The reports did not add up: nothing of the copy is trusted.
        m_text = textdoc::contents(m_document);
        readAllParagraphs();
    }
}

void DocumentMirror::readAllParagraphs()
{
    m_paragraphs.clear();
    // Each paragraph is read and turned into its reading before the next:
    // a long text's readings are never held twice over.
    m_paragraphs.reserve(std::size_t(m_document.blockCount()));
    editortext::ReadingSeries series;
    editordoc::readParagraphs(m_document, [this, &series](editortext::Paragraph paragraph) {
        m_paragraphs.push_back(series.read(std::move(paragraph)));
    });
    // Room for as many memos as readings: the first line added to a long
    // text does not move every memo.
    m_memos.clear();
    m_memos.reserve(m_paragraphs.capacity());
    m_memos.assign(m_paragraphs.size(), Memo{});
    m_paragraphsStale = false;
    m_dirty.reset();
}

// Reads again the paragraphs from the one holding the first edited character
// to the one holding the first character after the last edit. The text
// before that stretch is as it was, and so is the text after it, only
// shifted; the paragraphs there keep their readings and memos.
bool DocumentMirror::refreshSpan(const Dirty& dirty)
{
    using editortext::ParagraphReading;
    const auto endsAfter = [](int position, const ParagraphReading& paragraph) {
        return position < paragraph.start + paragraph.length;
    };
    const auto count = std::ptrdiff_t(m_paragraphs.size());
    const auto firstEdited = std::upper_bound(m_paragraphs.begin(), m_paragraphs.end(), dirty.low, endsAfter);
    const std::ptrdiff_t first = firstEdited == m_paragraphs.end() ? count - 1 : firstEdited - m_paragraphs.begin();
    const auto firstAfter
        = std::upper_bound(m_paragraphs.begin(), m_paragraphs.end(), dirty.high - dirty.delta, endsAfter);
    const std::ptrdiff_t last
        = std::max(first, firstAfter == m_paragraphs.end() ? count - 1 : firstAfter - m_paragraphs.begin());
    const bool toEnd = last == count - 1;
    const int start = m_paragraphs[std::size_t(first)].start;
    const ParagraphReading& lastRead = m_paragraphs[std::size_t(last)];
    const int end = toEnd ? editordoc::textLength(m_document) : lastRead.start + lastRead.length + dirty.delta;

    std::vector<ParagraphReading> fresh;
    editordoc::ParagraphReader reader;
    editortext::ReadingSeries series;
    QTextBlock block = m_document.findBlock(start);
    if (!block.isValid() || block.position() != start)
        return false;
    int position = start;
    for (; block.isValid(); block = block.next()) {
        if (!toEnd && position >= end)
            break;
        // The same paragraphs editordoc::readParagraphs gives.
        const bool hasSeparator = block.next().isValid();
        if (!hasSeparator && block.length() == 1 && position > 0)
            break;
        fresh.push_back(series.read({reader.read(block, position, hasSeparator), position}));
        position += block.length();
    }
    if (!toEnd && (!block.isValid() || position != end))
        return false;
    if (m_text.length() != editordoc::textLength(m_document) || end < start)
        return false;
    // The whole text is brought up to date over the same stretch, so that
    // nothing an edit report left out outlives the next write-back. What one
    // report read after the only change is as the document has it: only the
    // paragraphs' characters around it are read again (a long text shown a
    // part at a time is then read once a part, not twice).
    const auto readAgain = [&](int from, int to) {
        if (to > from)
            m_text.replace(from, to - from, textdoc::read(m_document, from, to - from));
    };
    if (dirty.readWhole && start <= dirty.low && dirty.low <= dirty.high && dirty.high <= end) {
        readAgain(dirty.high, end);
        readAgain(start, dirty.low);
    } else {
        readAgain(start, end);
    }

    const auto replaced = std::size_t(last - first + 1);
    const std::size_t kept = std::min(replaced, fresh.size());
    const auto at = std::size_t(first);
    for (std::size_t i = 0; i < kept; ++i) {
        m_paragraphs[at + i] = std::move(fresh[i]);
        m_memos[at + i] = Memo{};
    }
    if (fresh.size() > replaced) {
        const auto extra = fresh.size() - replaced;
        m_paragraphs.insert(m_paragraphs.begin() + std::ptrdiff_t(at + kept),
                            std::make_move_iterator(fresh.begin() + std::ptrdiff_t(kept)),
                            std::make_move_iterator(fresh.end()));
        m_memos.insert(m_memos.begin() + std::ptrdiff_t(at + kept), extra, Memo{});
    } else if (replaced > fresh.size()) {
        const auto from = std::ptrdiff_t(at + kept);
        const auto to = std::ptrdiff_t(at + replaced);
        m_paragraphs.erase(m_paragraphs.begin() + from, m_paragraphs.begin() + to);
        m_memos.erase(m_memos.begin() + from, m_memos.begin() + to);
    }
    for (std::size_t i = at + fresh.size(); i < m_paragraphs.size(); ++i)
        m_paragraphs[i].start += dirty.delta;

    if (m_paragraphs.empty())
        return false;
    const ParagraphReading& back = m_paragraphs.back();
    const std::size_t seam = at + fresh.size();
    const int freshEnd = fresh.empty() ? start : m_paragraphs[seam - 1].start + m_paragraphs[seam - 1].length;
    return back.start + back.length == editordoc::textLength(m_document)
        && (seam >= m_paragraphs.size() || m_paragraphs[seam].start == freshEnd);
}

} // namespace quorrin
