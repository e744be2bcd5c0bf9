#include "Editor/TextLeftToShow.h"

#include "Editor/TextDocumentConversion.h"

#include <algorithm>

namespace quorrin {

std::vector<int> TextLeftToShow::partEnds(QStringView text, std::size_t paragraphsPerPart, int through)
{
    const auto length = int(text.size());
    const std::size_t perPart = std::max<std::size_t>(paragraphsPerPart, 1);
    std::size_t paragraphs = 0;
    for (const QChar c : text)
        paragraphs += textdoc::isParagraphSeparator(c) ? 1 : 0;
    if (length > 0 && !textdoc::isParagraphSeparator(text.back()))
        ++paragraphs;
    if (paragraphs <= 2 * perPart)
        return {length};
    std::vector<int> ends;
    ends.reserve(paragraphs / perPart + 1);
    std::size_t counted = 0; // separators since the last end
    for (int i = 0; i < length; ++i) {
        if (!textdoc::isParagraphSeparator(text[i]))
            continue;
        ++counted;
        if (counted >= perPart && (!ends.empty() || i >= through)) {
            ends.push_back(i + 1);
            counted = 0;
        }
    }
    if (ends.empty() || ends.back() < length)
        ends.push_back(length);
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
    m_ends = partEnds(whole.text.string(), paragraphsPerPart, caret);
    m_next = 1;
    if (m_ends.size() == 1) {
        clear();
        return whole;
    }
    m_whole = std::move(whole);
    return partOf(0, m_ends.front());
}

std::optional<TextLeftToShow::Part> TextLeftToShow::take(bool all)
{
    if (isEmpty())
        return std::nullopt;
    const int from = m_ends[m_next - 1];
    const int to = all ? m_ends.back() : m_ends[m_next];
    m_next = all ? m_ends.size() : m_next + 1;
    Part part = partOf(from, to);
    if (isEmpty())
        clear();
    return part;
}

void TextLeftToShow::clear()
{
    m_whole = {};
    m_ends.clear();
    m_next = 0;
}

TextLeftToShow::Part TextLeftToShow::partOf(int from, int to) const
{
    Part part;
    part.text = m_whole.text.substring(from, to - from);
    const std::vector<TextRun>& runs = m_whole.ranges;
    auto run = std::partition_point(runs.begin(), runs.end(), [from](const TextRun& r) { return r.end() <= from; });
    for (; run != runs.end() && run->start < to; ++run)
        part.ranges.push_back(TextRun{run->blockID, run->start - from, run->length, run->isRemarks});
    return part;
}

} // namespace quorrin
