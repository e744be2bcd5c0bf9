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

namespace {

// Runs are sorted and contiguous: the wanted run is the last one starting at
// or before position.
const AttributedString::Run* runAt(const std::vector<AttributedString::Run>& runs, int position)
{
    const auto after = std::upper_bound(runs.begin(), runs.end(), position,
                                        [](int value, const AttributedString::Run& run) { return value < run.start; });
    if (after == runs.begin())
        return nullptr;
    const AttributedString::Run& run = *std::prev(after);
    if (position >= run.start + run.length)
        return nullptr;
    return &run;
}

} // namespace

TextAttributes AttributedString::attributesAt(int position) const
{
    const Run* run = runAt(m_runs, position);
    return run ? run->attributes : TextAttributes{};
}

std::optional<CustomAttributeValue> AttributedString::customAt(int position, const QString& name) const
{
    const Run* run = runAt(m_runs, position);
    if (!run)
        return std::nullopt;
    const auto found = run->attributes.custom.find(name);
    if (found == run->attributes.custom.end())
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
    for (Run& run : m_runs) {
        const int runEnd = run.start + run.length;
        const int cuts[] = {run.start, std::clamp(start, run.start, runEnd), std::clamp(end, run.start, runEnd), runEnd};
        // The run's own attributes go to its last piece; only pieces before
        // it take copies.
        int last = 2;
        while (last > 0 && cuts[last] == cuts[last + 1])
            --last;
        for (int i = 0; i < 3; ++i) {
            if (cuts[i] == cuts[i + 1])
                continue;
            Run piece{cuts[i], cuts[i + 1] - cuts[i], i == last ? std::move(run.attributes) : run.attributes};
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

void AttributedString::reserve(int characters, std::size_t runs)
{
    m_text.reserve(characters);
    m_runs.reserve(runs);
}

AttributedString AttributedString::substring(int start, int length) const
{
    start = std::clamp(start, 0, this->length());
    const int end = std::clamp(start + std::max(length, 0), start, this->length());
    AttributedString result;
    result.m_text = m_text.mid(start, end - start);
    // Runs are sorted: start at the one holding `start`, stop past `end`.
    auto run = std::upper_bound(m_runs.begin(), m_runs.end(), start,
                                [](int value, const Run& r) { return value < r.start; });
    if (run != m_runs.begin())
        --run;
    for (; run != m_runs.end() && run->start < end; ++run) {
        const int from = std::max(start, run->start);
        const int to = std::min(end, run->start + run->length);
        if (from < to)
            result.m_runs.push_back(Run{from - start, to - from, run->attributes});
    }
    return result;
}

void AttributedString::truncate(int length)
{
    if (length >= this->length())
        return;
    length = std::max(length, 0);
    m_text.truncate(length);
    while (!m_runs.empty() && m_runs.back().start >= length)
        m_runs.pop_back();
    if (!m_runs.empty())
        m_runs.back().length = length - m_runs.back().start;
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

void AttributedString::append(AttributedString&& other)
{
    const int offset = length();
    m_text += other.m_text;
    for (Run& run : other.m_runs)
        appendRun(Run{run.start + offset, run.length, std::move(run.attributes)});
    other = AttributedString();
}

template <typename Attributes> void AttributedString::appendText(const QString& text, Attributes&& attributes)
{
    if (text.isEmpty())
        return;
    const int offset = length();
    m_text += text;
    // Compared before anything is copied: text of the same attributes as
    // the last run only lengthens it.
    if (!m_runs.empty() && m_runs.back().attributes == attributes)
        m_runs.back().length += int(text.size());
    else
        m_runs.push_back(Run{offset, int(text.size()), std::forward<Attributes>(attributes)});
}

void AttributedString::append(const QString& text, const TextAttributes& attributes)
{
    appendText(text, attributes);
}

void AttributedString::append(const QString& text, TextAttributes&& attributes)
{
    appendText(text, std::move(attributes));
}

void AttributedString::replace(int start, int length, const AttributedString& replacement)
{
    start = std::clamp(start, 0, this->length());
    const int end = std::clamp(start + std::max(length, 0), start, this->length());
    const int delta = replacement.length() - (end - start);
    // Edited in place: only the runs from the one holding the character
    // before the edit to the one holding the character after it are built
    // anew (and merged where they became equal); the runs after them only
    // move. Copying every run with its attributes would make a one-character
    // edit cost the whole text.
    const auto indexAt = [&](int position) {
        return std::ptrdiff_t(runAt(m_runs, position) - m_runs.data());
    };
    const auto count = std::ptrdiff_t(m_runs.size());
    const std::ptrdiff_t first = start > 0 ? indexAt(start - 1) : 0;
    const std::ptrdiff_t last = end < this->length() ? indexAt(end) : count - 1;

    std::vector<Run> window;
    window.reserve(std::size_t(std::max<std::ptrdiff_t>(last - first + 1, 0)) + replacement.m_runs.size());
    const auto add = [&](Run run) {
        if (run.length <= 0)
            return;
        if (!window.empty() && window.back().attributes == run.attributes)
            window.back().length += run.length;
        else
            window.push_back(std::move(run));
    };
    for (std::ptrdiff_t i = first; i <= last; ++i) {
        const Run& run = m_runs[std::size_t(i)];
        if (run.start < start)
            add(Run{run.start, std::min(run.start + run.length, start) - run.start, run.attributes});
    }
    for (const Run& run : replacement.m_runs)
        add(Run{run.start + start, run.length, run.attributes});
    for (std::ptrdiff_t i = first; i <= last; ++i) {
        const Run& run = m_runs[std::size_t(i)];
        const int from = std::max(run.start, end);
        if (run.start + run.length > from)
            add(Run{from + delta, run.start + run.length - from, run.attributes});
    }

    const auto replaced = std::size_t(std::max<std::ptrdiff_t>(last - first + 1, 0));
    const auto at = m_runs.begin() + first;
    const std::size_t kept = std::min(replaced, window.size());
    std::move(window.begin(), window.begin() + std::ptrdiff_t(kept), at);
    if (window.size() > replaced)
        m_runs.insert(at + std::ptrdiff_t(kept), std::make_move_iterator(window.begin() + std::ptrdiff_t(kept)),
                      std::make_move_iterator(window.end()));
    else if (replaced > window.size())
        m_runs.erase(at + std::ptrdiff_t(kept), at + std::ptrdiff_t(replaced));
    for (auto it = m_runs.begin() + first + std::ptrdiff_t(window.size()); it != m_runs.end(); ++it)
        it->start += delta;
    m_text.replace(start, end - start, replacement.m_text);
}

} // namespace quorrin
