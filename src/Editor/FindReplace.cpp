#include "Editor/FindReplace.h"

#include <algorithm>

namespace quorrin::findreplace {

std::vector<TextMatch> findAll(const QString& text, const QString& needle, bool matchCase)
{
    std::vector<TextMatch> matches;
    if (needle.isEmpty())
        return matches;
    const Qt::CaseSensitivity sensitivity = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    qsizetype at = text.indexOf(needle, 0, sensitivity);
    while (at >= 0) {
        const int length = int(needle.size());
        const QStringView found = QStringView(text).mid(at, length);
        if (!found.contains(QLatin1Char('\n')) && !found.contains(QChar::ParagraphSeparator)) {
            matches.push_back({int(at), length});
            at = text.indexOf(needle, at + length, sensitivity);
        } else {
            at = text.indexOf(needle, at + 1, sensitivity);
        }
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
