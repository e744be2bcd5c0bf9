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

const SearchIndex::Text& SearchIndex::text(NoteTexts& note, size_t slot, const QUuid& blockID, bool remarks,
                                           const QByteArray& rtf, SearchCase searchCase)
{
    if (slot == note.texts.size())
        note.texts.emplace_back();
    Text& held = note.texts[slot];
    if (held.blockID != blockID || held.remarks != remarks || !sameBytes(held.rtf, rtf) || held.blockID.isNull()) {
        held.blockID = blockID;
        held.remarks = remarks;
        held.rtf = rtf;
        held.plain = searchablePlainText(rtf);
        held.prepared[0].reset();
        held.prepared[1].reset();
    }
    std::optional<SearchableText>& prepared = held.prepared[int(searchCase)];
    if (!prepared)
        prepared.emplace(held.plain, searchCase);
    return held;
}

qsizetype SearchIndex::cachedTexts() const
{
    qsizetype count = 0;
    for (const NoteTexts& note : m_notes)
        count += qsizetype(note.texts.size());
    return count;
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
        NoteTexts& held = m_notes[note.id];
        held.lastUse = m_pass;
        size_t slot = 0;
        std::optional<QString> title;
        std::optional<QString> remarksTitle;
        auto add = [&](const Block& block, const Text& matched) {
            if (!title)
                title = note.title();
            if (matched.remarks && !remarksTitle)
                remarksTitle = *title + remarksSuffix;
            found.push_back(SearchHit{note.id, block.id, matched.remarks ? *remarksTitle : *title, matched.plain,
                                      matched.remarks});
        };
        for (const Block& block : note.blocks) {
            if (block.todo && block.todo->archivedAt)
                continue;
            const Text& own = text(held, slot++, block.id, false, block.text.rtf(), searchCase);
            if (own.prepared[mode]->contains(needle))
                add(block, own);
            if (block.todo) {
                const Text& remarks = text(held, slot++, block.id, true, block.todo->notes.rtf(), searchCase);
                if (remarks.prepared[mode]->contains(needle))
                    add(block, remarks);
            }
        }
        held.texts.resize(slot);
    }
    // Notes that are gone or deleted are forgotten once they clearly
    // outnumber the searched ones.
    const qsizetype used = std::count_if(m_notes.cbegin(), m_notes.cend(),
                                         [&](const NoteTexts& note) { return note.lastUse == m_pass; });
    if (m_notes.size() > 2 * used + 64)
        m_notes.removeIf([&](const auto& item) { return item.value().lastUse != m_pass; });
    return found;
}

} // namespace quorrin
