#include "Core/Text/TextSearch.h"

#include <QChar>
#include <QList>

#include <algorithm>
#include <numeric>

namespace quorrin {

namespace {

char32_t codePointAt(QStringView text, qsizetype index, qsizetype& width)
{
    const QChar unit = text.at(index);
    if (unit.isHighSurrogate() && index + 1 < text.size() && text.at(index + 1).isLowSurrogate()) {
        width = 2;
        return QChar::surrogateToUcs4(unit, text.at(index + 1));
    }
    width = 1;
    return unit.unicode();
}

// Marks belong to the character before them: a match never separates them.
bool isMark(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return QChar::combiningClass(c) != 0;
    }
}

// The letters whose full case folding is more than their simple folding lie
// in these few places (sharp s, ligatures, some Greek, Armenian and Latin
// letters with marks that have no precomposed capital).
bool mayFoldToSeveral(char32_t c)
{
    return c == 0x00DF || c == 0x0149 || c == 0x01F0 || c == 0x0390 || c == 0x03B0 || c == 0x0587
        || (c >= 0x1E96 && c <= 0x1E9E) || (c >= 0x1F50 && c <= 0x1FFF) || (c >= 0xFB00 && c <= 0xFB17);
}

void appendFolded(QString& out, char32_t c)
{
    if (c == 0x0130) { // capital I with dot above folds to i and the dot
        out += QLatin1Char('i');
        out += QChar(0x0307);
        return;
    }
    const char32_t simple = QChar::toCaseFolded(c);
    if (mayFoldToSeveral(simple)) {
        // Such a letter upper-cases to several letters; folding those gives
        // its full folding (ß → SS → ss, ﬀ → FF → ff).
        const QString upper = QString::fromUcs4(&simple, 1).toUpper();
        if (upper.toUcs4().size() > 1) {
            out += upper.toCaseFolded();
            return;
        }
    }
    out += QString::fromUcs4(&simple, 1);
}

// Whether a character alone stands for itself in the key.
bool isPlain(char32_t c, SearchCase searchCase)
{
    if (c < 0x80)
        return true;
    if (QChar::requiresSurrogates(c) || QChar::isSurrogate(c))
        return false;
    if (QChar::decompositionTag(c) == QChar::Canonical)
        return false;
    if (searchCase == SearchCase::Insensitive && (QChar::toCaseFolded(c) != c || mayFoldToSeveral(c) || c == 0x0130))
        return false;
    return true;
}

QChar plainKey(char32_t c, SearchCase searchCase)
{
    if (searchCase == SearchCase::Insensitive && c >= 'A' && c <= 'Z')
        return QChar(char16_t(c - 'A' + 'a'));
    return QChar(char16_t(c));
}

QString clusterKey(QStringView cluster, SearchCase searchCase)
{
    QString decomposed = cluster.toString().normalized(QString::NormalizationForm_D);
    if (searchCase == SearchCase::Sensitive)
        return decomposed;
    QString folded;
    folded.reserve(decomposed.size());
    for (qsizetype i = 0; i < decomposed.size();) {
        qsizetype width = 1;
        appendFolded(folded, codePointAt(decomposed, i, width));
        i += width;
    }
    return folded.normalized(QString::NormalizationForm_D);
}

// Appends the key of `text` to `key`. When the appended key does not
// correspond to the text position by position, `origin` receives, for each
// appended key position, where its character begins in `text` (-1 inside a
// character) and one entry past the end; otherwise it is left empty.
void prepareKey(QStringView text, SearchCase searchCase, QString& key, std::vector<qsizetype>& origin)
{
    const qsizetype base = key.size();
    // Keys of many texts share one buffer: it grows geometrically.
    if (key.capacity() < base + text.size())
        key.reserve(std::max(base + text.size(), 2 * key.capacity()));
    bool identity = true;
    for (qsizetype index = 0; index < text.size();) {
        const qsizetype start = index;
        qsizetype width = 1;
        const char32_t first = codePointAt(text, index, width);
        index += width;
        bool plain = isPlain(first, searchCase);
        // One character: a code point and the marks that follow it.
        while (index < text.size()) {
            const char32_t next = codePointAt(text, index, width);
            if (!isMark(next))
                break;
            index += width;
            plain = false;
        }
        if (plain) {
            if (!identity)
                origin.push_back(start);
            key += plainKey(first, searchCase);
            continue;
        }
        if (identity) {
            identity = false;
            origin.resize(size_t(key.size() - base));
            std::iota(origin.begin(), origin.end(), qsizetype(0));
        }
        const QString cluster = clusterKey(text.sliced(start, index - start), searchCase);
        origin.push_back(start);
        origin.insert(origin.end(), size_t(std::max<qsizetype>(cluster.size() - 1, 0)), qsizetype(-1));
        key += cluster;
    }
    if (!identity)
        origin.push_back(text.size());
}

} // namespace

SearchableText::SearchableText(QStringView text, SearchCase searchCase)
{
    prepareKey(text, searchCase, m_key, m_origin);
}

qsizetype SearchableText::originOf(qsizetype keyPosition) const
{
    return m_origin.empty() ? keyPosition : m_origin[size_t(keyPosition)];
}

std::optional<TextRange> SearchableText::find(const SearchableText& query, qsizetype from) const
{
    if (query.m_key.isEmpty())
        return std::nullopt;
    qsizetype keyFrom = std::max<qsizetype>(from, 0);
    if (!m_origin.empty()) {
        keyFrom = 0;
        while (keyFrom < m_key.size() && m_origin[size_t(keyFrom)] < from)
            ++keyFrom;
    }
    const QStringView key(m_key);
    while (keyFrom <= m_key.size() - query.m_key.size()) {
        const qsizetype found = key.indexOf(query.m_key, keyFrom, Qt::CaseSensitive);
        if (found < 0)
            return std::nullopt;
        const qsizetype start = originOf(found);
        const qsizetype end = originOf(found + query.m_key.size());
        if (start >= 0 && end >= 0)
            return TextRange{start, end - start};
        keyFrom = found + 1;
    }
    return std::nullopt;
}

std::optional<TextRange> findText(QStringView text, QStringView query, SearchCase searchCase, qsizetype from,
                                  qsizetype to)
{
    from = std::clamp<qsizetype>(from, 0, text.size());
    to = to < 0 ? text.size() : std::clamp(to, from, text.size());
    const SearchableText haystack(text.sliced(from, to - from), searchCase);
    std::optional<TextRange> found = haystack.find(SearchableText(query, searchCase));
    if (found)
        found->start += from;
    return found;
}

// --- many texts

void SearchableTexts::append(QStringView text)
{
    if (!m_starts.empty())
        m_keys += separator;
    m_starts.push_back(m_keys.size());
    std::vector<qsizetype> origin;
    prepareKey(text, m_case, m_keys, origin);
    if (origin.empty()) {
        m_originIndex.push_back(-1);
        return;
    }
    m_originIndex.push_back(int(m_origins.size()));
    m_origins.push_back(std::move(origin));
}

qsizetype SearchableTexts::keyEnd(qsizetype index) const
{
    return size_t(index + 1) < m_starts.size() ? m_starts[size_t(index + 1)] - 1 : m_keys.size();
}

bool SearchableTexts::onCharacterBoundaries(qsizetype index, qsizetype start, qsizetype end) const
{
    const int entry = m_originIndex[size_t(index)];
    if (entry < 0)
        return true;
    const std::vector<qsizetype>& origin = m_origins[size_t(entry)];
    return origin[size_t(start)] >= 0 && origin[size_t(end)] >= 0;
}

SearchableTexts::Query::Query(const SearchableText& query)
    : m_key(query.key())
    , m_matcher(m_key, Qt::CaseSensitive)
{
}

std::vector<qsizetype> SearchableTexts::containing(const Query& query) const
{
    std::vector<qsizetype> found;
    const QStringView needle(query.m_key);
    if (needle.isEmpty() || m_starts.empty())
        return found;
    const QStringView keys(m_keys);
    // One character is found fastest by itself; a longer key by the matcher
    // whose skip table was made once for every text.
    const auto next = [&](qsizetype from) {
        return needle.size() == 1 ? keys.indexOf(needle.front(), from) : query.m_matcher.indexIn(keys, from);
    };
    qsizetype from = 0;
    while (from <= keys.size() - needle.size()) {
        const qsizetype at = next(from);
        if (at < 0)
            break;
        const qsizetype index = qsizetype(std::upper_bound(m_starts.begin(), m_starts.end(), at) - m_starts.begin()) - 1;
        const qsizetype start = m_starts[size_t(index)];
        const qsizetype end = keyEnd(index);
        // A match that runs over a separator belongs to no text.
        if (at + needle.size() > end || !onCharacterBoundaries(index, at - start, at + needle.size() - start)) {
            from = at + 1;
            continue;
        }
        found.push_back(index);
        from = end + 1; // the next text
    }
    return found;
}

} // namespace quorrin
