#include "Editor/FindReplace.h"

#include "Core/Text/TextSearch.h"

#include <algorithm>

namespace quorrin::findreplace {

std::vector<TextMatch> findAll(const QString& text, const QString& needle, bool matchCase)
{
    std::vector<TextMatch> matches;
    if (needle.isEmpty())
        return matches;
    // The same comparison as the search across notes, so both find the same
    // words (canonical equivalence, full case folding).
    const SearchCase searchCase = matchCase ? SearchCase::Sensitive : SearchCase::Insensitive;
    const SearchableText haystack(text, searchCase);
    const SearchableText query(needle, searchCase);
    qsizetype from = 0;
    while (const std::optional<TextRange> found = haystack.find(query, from)) {
        const QStringView matched = QStringView(text).mid(found->start, found->length);
        if (!matched.contains(QLatin1Char('\n')) && !matched.contains(QChar::ParagraphSeparator)) {
            matches.push_back({int(found->start), int(found->length)});
            from = found->end();
        } else {
            from = found->start + 1;
        }
        if (found->length == 0)
            break;
    }
    return matches;
}

std::optional<std::size_t> nextIndex(const std::vector<TextMatch>& matches, int from, bool forward)
{
    if (matches.empty())
        return std::nullopt;
    if (forward) {
        const auto found = std::find_if(matches.begin(), matches.end(), [&](const TextMatch& m) { return m.start >= from; });
        return found == matches.end() ? 0 : std::size_t(found - matches.begin());
    }
    const auto found =
        std::find_if(matches.rbegin(), matches.rend(), [&](const TextMatch& m) { return m.start < from; });
    return found == matches.rend() ? matches.size() - 1 : std::size_t(matches.rend() - found - 1);
}

std::optional<std::size_t> indexOf(const std::vector<TextMatch>& matches, int start, int length)
{
    const auto found = std::find(matches.begin(), matches.end(), TextMatch{start, length});
    if (found == matches.end())
        return std::nullopt;
    return std::size_t(found - matches.begin());
}

QString counterText(const QString& needle, std::size_t count, std::optional<std::size_t> current)
{
    if (needle.isEmpty())
        return {};
    if (count == 0)
        return QStringLiteral("无结果");
    if (!current)
        return QStringLiteral("%1 个").arg(count);
    return QStringLiteral("%1 / %2").arg(*current + 1).arg(count);
}

} // namespace quorrin::findreplace
