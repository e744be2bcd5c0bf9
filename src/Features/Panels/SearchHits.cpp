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
inline bool sameBytes(const QByteArray& a, const QByteArray& b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}
} // namespace

inline bool SearchIndex::NoteTexts::holds(size_t slot, const QUuid& blockID, bool remarks,
                                          const QByteArray& rtf) const
{
    if (slot >= texts.size())
        return false;
    const Text& held = texts[slot];
    return held.blockID == blockID && held.remarks == remarks && sameBytes(held.rtf, rtf) && !blockID.isNull();
}

void SearchIndex::NoteTexts::keep(size_t slot, const QUuid& blockID, bool remarks, const QByteArray& rtf)
{
    if (slot == texts.size())
        texts.emplace_back();
    Text& held = texts[slot];
    held.blockID = blockID;
    held.remarks = remarks;
    held.rtf = rtf;
    held.plain = searchablePlainText(rtf);
    prepared[0].reset();
    prepared[1].reset();
}

void SearchIndex::NoteTexts::refresh(const Note& note)
{
    size_t slot = 0;
    for (const Block& block : note.blocks) {
        if (block.todo && block.todo->archivedAt)
            continue;
        if (!holds(slot, block.id, false, block.text.rtf()))
            keep(slot, block.id, false, block.text.rtf());
        ++slot;
        if (block.todo) {
            if (!holds(slot, block.id, true, block.todo->notes.rtf()))
                keep(slot, block.id, true, block.todo->notes.rtf());
            ++slot;
        }
    }
    if (slot != texts.size()) {
        texts.resize(slot);
        prepared[0].reset();
        prepared[1].reset();
    }
}

const SearchableTexts& SearchIndex::NoteTexts::preparedFor(SearchCase searchCase)
{
    std::optional<SearchableTexts>& forms = prepared[int(searchCase)];
    if (!forms) {
        forms.emplace(searchCase);
        for (const Text& text : texts)
            forms->append(text.plain);
    }
    return *forms;
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
    const SearchableTexts::Query needle{SearchableText(query, searchCase)};
    for (const Note& note : notes) {
        if (note.deletedAt)
            continue;
        NoteTexts& held = m_notes[note.id];
        held.lastUse = m_pass;
        held.refresh(note);
        const std::vector<qsizetype> matching = held.preparedFor(searchCase).containing(needle);
        if (matching.empty())
            continue;
        const QString title = note.title();
        const QString remarksTitle = title + remarksSuffix;
        for (const qsizetype index : matching) {
            const Text& matched = held.texts[size_t(index)];
            found.push_back(SearchHit{note.id, matched.blockID, matched.remarks ? remarksTitle : title, matched.plain,
                                      matched.remarks});
        }
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
