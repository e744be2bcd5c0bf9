#include "Editor/TextLeftToShow.h"

#include "Editor/TextDocumentConversion.h"

#include <algorithm>
#include <utility>

namespace quorrin {

std::vector<int> TextLeftToShow::partEnds(QStringView text, std::size_t paragraphsPerPart, int through)
{
    TextLeftToShow left;
    std::vector<int> ends{left.begin(editortext::RenderedText{AttributedString(text.toString()), {}}, through,
                                     paragraphsPerPart)
                              .text.length()};
    while (std::optional<Part> part = left.take())
        ends.push_back(ends.back() + part->text.length());
    return ends;
}

std::vector<TextRun> TextLeftToShow::shownRuns(const Part& part)
{
    const int length = part.text.length();
    std::vector<TextRun> runs;
    runs.reserve(part.ranges.size());
    for (const TextRun& run : part.ranges) {
        const int start = std::max(run.start, 0);
        const int end = std::min(run.end(), length);
        if (end > start)
            runs.push_back(TextRun{run.blockID, start, end - start, run.isRemarks});
    }
    return runs;
}

TextLeftToShow::Part TextLeftToShow::begin(editortext::RenderedText whole, int caret, std::size_t paragraphsPerPart)
{
    clear();
    m_text = std::move(whole);
    return start(caret, paragraphsPerPart);
}

TextLeftToShow::Opening TextLeftToShow::begin(BlocksLeftToRender blocks, const CaretBefore& caret,
                                              std::size_t paragraphsPerPart)
{
    clear();
    m_blocks = std::move(blocks);
    if (const TextRun* old = editortext::caretRun(caret.ranges, caret.text, caret.position)) {
        if (const std::optional<std::size_t> at = m_blocks.find(old->blockID, old->isRemarks)) {
            while (m_blocks.rendered() <= *at)
                m_blocks.renderNext(m_text);
        }
    }
    while (m_text.text.length() <= caret.position && !m_blocks.isEmpty())
        m_blocks.renderNext(m_text);
    const int placed = editortext::caretAfterRender(caret.ranges, caret.text, caret.position, m_text.ranges,
                                                    m_text.text.string());
    return Opening{start(placed, paragraphsPerPart), placed};
}

TextLeftToShow::Part TextLeftToShow::start(int through, std::size_t paragraphsPerPart)
{
    m_perPart = std::max<std::size_t>(paragraphsPerPart, 1);
    m_through = through;
    // Each block left ends at least one paragraph: whether the text is long
    // is known once more than twice a part's paragraphs are rendered or
    // left. A short one is rendered whole.
    std::size_t separators = 0;
    for (int counted = 0;; m_blocks.renderNext(m_text)) {
        const QString& s = m_text.text.string();
        for (; counted < s.size(); ++counted)
            separators += textdoc::isParagraphSeparator(s.at(counted)) ? 1 : 0;
        if (separators + m_blocks.left() > 2 * m_perPart || m_blocks.isEmpty())
            break;
    }
    const QString& s = m_text.text.string();
    const std::size_t paragraphs
        = separators + m_blocks.left() + (!s.isEmpty() && !textdoc::isParagraphSeparator(s.back()) ? 1 : 0);
    if (paragraphs <= 2 * m_perPart) {
        Part whole = std::move(m_text);
        clear();
        return whole;
    }
    return *take();
}

std::optional<TextLeftToShow::Part> TextLeftToShow::take(bool all)
{
    if (isEmpty())
        return std::nullopt;
    const int end = nextEnd(all);
    if (m_shown == 0 && end == m_text.text.length()) {
        // A part of all that is rendered (mostly so: each part is rendered
        // up to its end) is handed over, not copied.
        Part part = std::exchange(m_text, {});
        m_scanned = 0;
        if (isEmpty())
            clear();
        return part;
    }
    Part part = partOf(m_shown, end);
    m_shown = end;
    if (isEmpty())
        clear();
    return part;
}

int TextLeftToShow::nextEnd(bool all)
{
    if (all) {
        while (!m_blocks.isEmpty())
            renderMore();
        return m_text.text.length();
    }
    for (;;) {
        const QString& s = m_text.text.string();
        for (; m_scanned < s.size(); ++m_scanned) {
            if (!textdoc::isParagraphSeparator(s.at(m_scanned)))
                continue;
            ++m_counted;
            if (m_counted >= m_perPart && m_scanned >= m_through) {
                m_counted = 0;
                m_through = 0;
                return ++m_scanned;
            }
        }
        if (m_blocks.isEmpty())
            return int(s.size());
        renderMore();
    }
}

void TextLeftToShow::renderMore()
{
    if (m_shown > 0) {
        // What is shown is let go: the text held is at most a part and a block.
        m_text.text = m_text.text.substring(m_shown, m_text.text.length() - m_shown);
        std::vector<TextRun>& runs = m_text.ranges;
        const int shown = m_shown;
        runs.erase(runs.begin(), std::partition_point(runs.begin(), runs.end(),
                                                      [shown](const TextRun& run) { return run.end() <= shown; }));
        for (TextRun& run : runs)
            run.start -= shown;
        m_scanned -= shown;
        m_shown = 0;
    }
    m_blocks.renderNext(m_text);
}

void TextLeftToShow::clear()
{
    m_blocks = {};
    m_text = {};
    m_shown = 0;
    m_scanned = 0;
    m_counted = 0;
    m_through = 0;
}

TextLeftToShow::Part TextLeftToShow::partOf(int from, int to) const
{
    Part part;
    part.text = m_text.text.substring(from, to - from);
    const std::vector<TextRun>& runs = m_text.ranges;
    auto run = std::partition_point(runs.begin(), runs.end(), [from](const TextRun& r) { return r.end() <= from; });
    for (; run != runs.end() && run->start < to; ++run)
        part.ranges.push_back(TextRun{run->blockID, run->start - from, run->length, run->isRemarks});
    return part;
}

} // namespace quorrin
