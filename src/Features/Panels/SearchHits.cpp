#include "Features/Panels/SearchHits.h"

#include "Core/Text/Rtf.h"

namespace quorrin {

QString SearchHit::id() const
{
    return noteID.toString(QUuid::WithoutBraces).toUpper() + blockID.toString(QUuid::WithoutBraces).toUpper()
        + (remarks ? QStringLiteral("notes") : QStringLiteral("text"));
}

QString searchablePlainText(const QByteArray& rtf)
{
    QString plain;
    const bool readable = rtf::readPlainText(rtf, [&](QStringView piece) {
        plain += piece;
        return true;
    });
    return readable ? plain : QString();
}

namespace {
// Equal bytes that share their storage compare without reading them.
bool sameBytes(const QByteArray& a, const QByteArray& b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}
} // namespace

const SearchIndex::Entry& SearchIndex::entry(const Key& key, const QByteArray& rtf, SearchCase searchCase)
{
    Entry& cached = m_entries[key];
    if (cached.lastUse == 0 || !sameBytes(cached.rtf, rtf)) {
        cached.rtf = rtf;
        cached.plain = searchablePlainText(rtf);
        cached.prepared[0].reset();
        cached.prepared[1].reset();
    }
    cached.lastUse = m_pass;
    std::optional<SearchableText>& prepared = cached.prepared[int(searchCase)];
    if (!prepared)
        prepared.emplace(cached.plain, searchCase);
    return cached;
}

std::vector<SearchHit> SearchIndex::hits(const std::vector<Note>& notes, const QString& query, SearchCase searchCase)
{
    std::vector<SearchHit> found;
    if (query.isEmpty())
        return found;
    ++m_pass;
    const SearchableText needle(query, searchCase);
    const int mode = int(searchCase);
    for (const Note& note : notes) {
        if (note.deletedAt)
            continue;
        std::optional<QString> title;
        auto add = [&](const Block& block, const Entry& text, bool remarks) {
            if (!title)
                title = note.title();
            found.push_back(SearchHit{note.id, block.id, remarks ? *title + remarksSuffix : *title, text.plain,
                                      remarks});
        };
        for (const Block& block : note.blocks) {
            if (block.todo && block.todo->archivedAt)
                continue;
            const Entry& text = entry(Key{block.id, false}, block.text.rtf(), searchCase);
            if (text.prepared[mode]->contains(needle))
                add(block, text, false);
            if (block.todo) {
                const Entry& remarks = entry(Key{block.id, true}, block.todo->notes.rtf(), searchCase);
                if (remarks.prepared[mode]->contains(needle))
                    add(block, remarks, true);
            }
        }
    }
    // Texts of blocks that are gone are dropped once they clearly outnumber
    // the ones in use.
    const qsizetype used = std::count_if(m_entries.cbegin(), m_entries.cend(),
                                         [&](const Entry& e) { return e.lastUse == m_pass; });
    if (m_entries.size() > 2 * used + 64)
        m_entries.removeIf([&](const auto& item) { return item.value().lastUse != m_pass; });
    return found;
}

} // namespace quorrin
