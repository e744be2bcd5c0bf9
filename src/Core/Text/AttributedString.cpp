#include "Core/Text/AttributedString.h"

#include <algorithm>
#include <iterator>

namespace quorrin {

QString TextFont::systemFamily()
{
    return QStringLiteral(".SystemFont");
}

TextFont TextFont::system(double pointSize, bool bold)
{
    return TextFont{systemFamily(), pointSize, bold, false};
}

AttributedString::AttributedString(const QString& text, const TextAttributes& attributes)
    : m_text(text)
{
    if (!m_text.isEmpty())
        m_runs.push_back(Run{0, length(), attributes});
}

TextAttributes AttributedString::attributesAt(int position) const
{
    // Runs are sorted and contiguous: the wanted run is the last one starting at or before position.
    const auto after = std::upper_bound(m_runs.begin(), m_runs.end(), position,
                                        [](int value, const Run& run) { return value < run.start; });
    if (after == m_runs.begin())
        return {};
    const Run& run = *std::prev(after);
    if (position >= run.start + run.length)
        return {};
    return run.attributes;
}

std::optional<CustomAttributeValue> AttributedString::customAt(int position, const QString& name) const
{
    const TextAttributes attributes = attributesAt(position);
    const auto found = attributes.custom.find(name);
    if (found == attributes.custom.end())
        return std::nullopt;
    return found->second;
}

std::vector<AttributedString::ParagraphStyleRun> AttributedString::paragraphStyleRuns(int start, int length) const
{
    std::vector<ParagraphStyleRun> result;
    const int end = std::min(start + length, this->length());
    for (const Run& run : m_runs) {
        const int from = std::max(start, run.start);
        const int to = std::min(end, run.start + run.length);
        if (from >= to)
            continue;
        if (!result.empty() && result.back().style == run.attributes.paragraphStyle
            && result.back().start + result.back().length == from) {
            result.back().length += to - from;
        } else {
            result.push_back(ParagraphStyleRun{from, to - from, run.attributes.paragraphStyle});
        }
    }
    return result;
}

template <typename Change> void AttributedString::modify(int start, int length, Change&& change)
{
    start = std::clamp(start, 0, this->length());
    const int end = std::clamp(start + std::max(length, 0), start, this->length());
    if (start == end)
        return;
    std::vector<Run> split;
    split.reserve(m_runs.size() + 2);
    for (const Run& run : m_runs) {
        const int runEnd = run.start + run.length;
        const int cuts[] = {run.start, std::clamp(start, run.start, runEnd), std::clamp(end, run.start, runEnd), runEnd};
        for (int i = 0; i < 3; ++i) {
            if (cuts[i] == cuts[i + 1])
                continue;
            Run piece{cuts[i], cuts[i + 1] - cuts[i], run.attributes};
            if (piece.start >= start && piece.start + piece.length <= end)
                change(piece.attributes);
            split.push_back(std::move(piece));
        }
    }
    m_runs = std::move(split);
    normalize();
}

void AttributedString::normalize()
{
    std::vector<Run> merged;
    merged.reserve(m_runs.size());
    for (Run& run : m_runs) {
        if (run.length <= 0)
            continue;
        if (!merged.empty() && merged.back().attributes == run.attributes)
            merged.back().length += run.length;
        else
            merged.push_back(std::move(run));
    }
    m_runs = std::move(merged);
}

void AttributedString::setAttributes(int start, int length, const TextAttributes& attributes)
{
    modify(start, length, [&](TextAttributes& target) { target = attributes; });
}

void AttributedString::setFont(int start, int length, const std::optional<TextFont>& font)
{
    modify(start, length, [&](TextAttributes& target) { target.font = font; });
}

void AttributedString::setForeground(int start, int length, const std::optional<TextColor>& color)
{
    modify(start, length, [&](TextAttributes& target) { target.foreground = color; });
}

void AttributedString::setParagraphStyle(int start, int length, const std::optional<ParagraphStyle>& style)
{
    modify(start, length, [&](TextAttributes& target) { target.paragraphStyle = style; });
}

void AttributedString::setCustom(int start, int length, const QString& name, const CustomAttributeValue& value)
{
    modify(start, length, [&](TextAttributes& target) { target.custom[name] = value; });
}

void AttributedString::removeCustom(int start, int length, const QString& name)
{
    modify(start, length, [&](TextAttributes& target) { target.custom.erase(name); });
}

AttributedString AttributedString::substring(int start, int length) const
{
    start = std::clamp(start, 0, this->length());
    const int end = std::clamp(start + std::max(length, 0), start, this->length());
    AttributedString result;
    result.m_text = m_text.mid(start, end - start);
    for (const Run& run : m_runs) {
        const int from = std::max(start, run.start);
        const int to = std::min(end, run.start + run.length);
        if (from < to)
            result.m_runs.push_back(Run{from - start, to - from, run.attributes});
    }
    return result;
}

void AttributedString::appendRun(Run run)
{
    if (run.length <= 0)
        return;
    if (!m_runs.empty() && m_runs.back().attributes == run.attributes)
        m_runs.back().length += run.length;
    else
        m_runs.push_back(std::move(run));
}

void AttributedString::append(const AttributedString& other)
{
    const int offset = length();
    m_text += other.m_text;
    for (const Run& run : other.m_runs)
        appendRun(Run{run.start + offset, run.length, run.attributes});
}

void AttributedString::append(const QString& text, const TextAttributes& attributes)
{
    const int offset = length();
    m_text += text;
    appendRun(Run{offset, int(text.size()), attributes});
}

void AttributedString::replace(int start, int length, const AttributedString& replacement)
{
    start = std::clamp(start, 0, this->length());
    const int end = std::clamp(start + std::max(length, 0), start, this->length());
    AttributedString result = substring(0, start);
    result.append(replacement);
    result.append(substring(end, this->length() - end));
    *this = std::move(result);
}

} // namespace quorrin
