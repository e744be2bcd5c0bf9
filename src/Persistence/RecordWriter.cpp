#include "Persistence/RecordWriter.h"

#include "Domain/AppError.h"
#include "Domain/BackupManifest.h"
#include "Domain/Json.h"
#include "Persistence/DurableSnapshot.h"

#include <algorithm>
#include <numeric>

namespace quorrin {

namespace {

QString storedIdText(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

// Payloads reused from the last save share their bytes with the stored row's
// copy; comparing the pointers first spares a full comparison per note.
bool sameBytes(const QByteArray& a, const QByteArray& b)
{
    return a.size() == b.size() && (a.constData() == b.constData() || a == b);
}

[[noreturn]] void refuse(const QString& reason)
{
    throw AppError(QStringLiteral("便笺数据无效，未保存，已保留上次保存的内容：") + reason);
}

std::vector<QUuid> blockIdsOf(const Note& note)
{
    std::vector<QUuid> ids;
    ids.reserve(note.blocks.size());
    for (const Block& block : note.blocks)
        ids.push_back(block.id);
    return ids;
}

std::vector<QUuid> linkIdsOf(const Note& note)
{
    std::vector<QUuid> ids;
    if (note.fileLinks) {
        for (const PersistentFileLink& link : *note.fileLinks)
            ids.push_back(link.id);
    }
    return ids;
}

QUuid dockTargetOf(const Note& note)
{
    return note.docking ? note.docking->targetID : QUuid();
}

} // namespace

QByteArray notePayload(const Note& note, const Preferences& preferences)
{
    return json::encode(BackupManifest{BackupManifest::currentSchemaVersion, note.createdAt, {note}, preferences});
}

QByteArray appStatePayload(const Preferences& preferences)
{
    return json::encode(
        BackupManifest{BackupManifest::currentSchemaVersion, Date::fromSecondsSince1970(0), {}, preferences});
}

void RecordWriter::loadCommitted(const std::vector<StoredRecord>& rows, const std::optional<QByteArray>& appState)
{
    *this = RecordWriter();
    for (const StoredRecord& record : rows) {
        const QUuid id = QUuid::fromString(record.id);
        // Rows without a readable id are neither rewritten nor deleted.
        if (id.isNull() || m_rows.contains(id))
            continue;
        m_rows.insert(id, Row{record.id, record.payload.value_or(QByteArray())});
    }
    m_appState = appState;
}

void RecordWriter::adoptOpened(const std::vector<Note>& notes, const Preferences& preferences)
{
    if (qsizetype(notes.size()) != m_rows.size() || !m_encoded.isEmpty())
        return;
    for (const Note& note : notes) {
        if (!m_rows.contains(note.id))
            return;
    }
    for (const Note& note : notes) {
        // An opened note is its own durable form: a docking it keeps points
        // at a live stored note.
        remember(note.id, Encoded{false, note.docking.has_value(), EncodedNote(m_rows.value(note.id).payload),
                                  blockIdsOf(note), linkIdsOf(note), dockTargetOf(note)});
    }
    m_preferencesJson = json::encode(preferences);
}

void RecordWriter::remember(const QUuid& id, Encoded entry, Ends keptBlockIds)
{
    const size_t end = entry.blockIds.size() - std::min(keptBlockIds.tail, entry.blockIds.size());
    if (keptBlockIds.head < end)
        m_blockOwners.reserve(m_blockOwners.size() + qsizetype(end - keptBlockIds.head));
    for (size_t at = keptBlockIds.head; at < end; ++at)
        m_blockOwners.insert(entry.blockIds[at], id);
    for (const QUuid& linkId : entry.linkIds)
        m_linkOwners.insert(linkId, id);
    if (!entry.dockTarget.isNull())
        m_docked.insert(entry.dockTarget, id);
    m_encoded.insert(id, std::move(entry));
}

void RecordWriter::forget(const QUuid& id, const Encoded& entry, Ends keptBlockIds)
{
    const size_t end = entry.blockIds.size() - std::min(keptBlockIds.tail, entry.blockIds.size());
    if (keptBlockIds.head < end)
        forgetOwner(m_blockOwners, entry.blockIds.data() + keptBlockIds.head, entry.blockIds.data() + end, id);
    forgetOwner(m_linkOwners, entry.linkIds.data(), entry.linkIds.data() + entry.linkIds.size(), id);
    if (!entry.dockTarget.isNull())
        m_docked.remove(entry.dockTarget, id);
}

std::pair<const QUuid*, const QUuid*> RecordWriter::blockIdsNotKept(const QUuid& id,
                                                                    const std::vector<QUuid>& blockIds) const
{
    const QUuid* const begin = blockIds.data();
    const auto entry = m_encoded.constFind(id);
    if (entry == m_encoded.cend())
        return {begin, begin + blockIds.size()};
    const Ends kept = sharedEnds(entry->blockIds, blockIds);
    return {begin + kept.head, begin + blockIds.size() - kept.tail};
}

bool RecordWriter::blockIdsStayUnique(const QUuid& id, const std::vector<QUuid>& blockIds) const
{
    // Ids the last encoding held were unique then: the ones kept at either
    // end still are among themselves, and only an id between can repeat.
    // Each of a few is looked for among all; more are left to a full check.
    constexpr std::ptrdiff_t few = 16;
    if (!m_encoded.contains(id))
        return false;
    const auto [from, to] = blockIdsNotKept(id, blockIds);
    if (to - from > few)
        return false;
    return std::all_of(from, to, [&](const QUuid& between) {
        return std::count(blockIds.begin(), blockIds.end(), between) == 1;
    });
}

std::vector<size_t> RecordWriter::changedCandidates(const std::vector<Note>& notes, const Locate& locate) const
{
    std::vector<size_t> candidates;
    const auto add = [&](const QUuid& id) {
        if (const std::optional<size_t> index = locate(id); index && *index < notes.size() && notes[*index].id == id)
            candidates.push_back(*index);
    };
    for (auto changed = m_changed.cbegin(); changed != m_changed.cend(); ++changed) {
        const QUuid& id = changed.key();
        add(id);
        // Notes docked to a changed note may have to drop their docking.
        for (auto docked = m_docked.constFind(id); docked != m_docked.cend() && docked.key() == id; ++docked)
            add(*docked);
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    // A changed note docked to a changed note is found through its own mark;
    // one whose docking changed since it was encoded is changed itself.
    return candidates;
}

RecordWriter::Plan RecordWriter::plan(const std::vector<Note>& notes, const Preferences& preferences,
                                      const Locate& locate) const
{
    Plan plan;
    plan.marks = m_marks;
    plan.preferencesJson = json::encode(preferences);
    // Every payload embeds the preferences: when they changed, or before the
    // first save, every note is looked at. Otherwise only the notes marked
    // changed and the notes docked to them (whose docking may now be dropped).
    const bool full = m_preferencesJson != plan.preferencesJson;

    std::vector<size_t> candidates;
    if (full) {
        candidates.resize(notes.size());
        std::iota(candidates.begin(), candidates.end(), size_t(0));
    } else if (locate) {
        candidates = changedCandidates(notes, locate);
    } else {
        for (size_t index = 0; index < notes.size(); ++index) {
            const Note& note = notes[index];
            if (m_changed.contains(note.id) || (note.docking && m_changed.contains(note.docking->targetID)))
                candidates.push_back(index);
        }
    }

    // Which candidates are blank drafts, reusing the answer for unchanged notes.
    std::vector<bool> blank(notes.size());
    std::vector<bool> known(notes.size());
    // The entries of unchanged candidates, by position among the candidates.
    std::vector<const Encoded*> previous(candidates.size(), nullptr);
    qsizetype notesWithEntries = 0;
    for (size_t at = 0; at < candidates.size(); ++at) {
        const size_t index = candidates[at];
        const auto found = m_encoded.constFind(notes[index].id);
        if (found != m_encoded.cend()) {
            ++notesWithEntries;
            if (!m_changed.contains(notes[index].id))
                previous[at] = &*found;
        }
        blank[index] = previous[at] ? previous[at]->blank : notes[index].isEmpty();
        known[index] = true;
    }
    const auto isBlank = [&](size_t index) {
        if (!known[index]) {
            const auto found = m_encoded.constFind(notes[index].id);
            blank[index] = found != m_encoded.cend() ? found->blank : notes[index].isEmpty();
            known[index] = true;
        }
        return bool(blank[index]);
    };

    // Whether a docking target is stored as a live note. A full pass builds
    // the set once; otherwise the few docked candidates search the list.
    std::optional<QSet<QUuid>> keptLive;
    const auto isKeptLive = [&](const QUuid& id) {
        if (!full) {
            if (locate) {
                const std::optional<size_t> index = locate(id);
                return index && *index < notes.size() && notes[*index].id == id && !notes[*index].deletedAt
                    && !isBlank(*index);
            }
            for (size_t index = 0; index < notes.size(); ++index) {
                if (notes[index].id == id)
                    return !notes[index].deletedAt && !isBlank(index);
            }
            return false;
        }
        if (!keptLive) {
            keptLive.emplace();
            for (size_t index = 0; index < notes.size(); ++index) {
                if (!blank[index] && !notes[index].deletedAt)
                    keptLive->insert(notes[index].id);
            }
        }
        return keptLive->contains(id);
    };

    qsizetype matchedRows = 0;
    for (size_t at = 0; at < candidates.size(); ++at) {
        const size_t index = candidates[at];
        const Encoded* const earlier = previous[at];
        const Note& note = notes[index];
        const auto row = m_rows.constFind(note.id);
        if (blank[index]) {
            if (!earlier)
                plan.encoded.emplace_back(note.id, Encoded{true, false, {}, {}, {}, dockTargetOf(note)});
            if (!full && row != m_rows.cend()) {
                plan.changes.deletions.push_back(row->storedId);
                plan.rowsDeleted.push_back(note.id);
            }
            continue;
        }
        const bool dockingKept = note.docking && isKeptLive(note.docking->targetID);
        QByteArray payload;
        if (earlier && !full && earlier->dockingKept == dockingKept) {
            payload = earlier->note.payload();
        } else {
            // The durable form keeps the blocks as they are: they are
            // checked and encoded from the note itself, uncopied.
            const Note shell = durableShell(note, dockingKept);
            const auto found = m_encoded.constFind(note.id);
            std::vector<QUuid> blockIds = blockIdsOf(note);
            try {
                BackupManifest{BackupManifest::currentSchemaVersion, shell.createdAt, {shell}, preferences}.validate();
                BackupManifest::validateBlocks(note.blocks, blockIdsStayUnique(note.id, blockIds));
            } catch (const AppError& error) {
                refuse(error.message);
            }
            const EncodedNote* const reusable = found != m_encoded.cend() ? &found->note : nullptr;
            EncodedNote recycled;
            if (m_recycled && m_recycled->first == note.id) {
                recycled = std::move(m_recycled->second);
                m_recycled.reset();
            }
            EncodedNote encoded = EncodedNote::encode(shell, note.blocks, preferences, reusable, std::move(recycled));
            payload = encoded.payload();
            plan.encoded.emplace_back(note.id, Encoded{false, dockingKept, std::move(encoded), std::move(blockIds),
                                                       linkIdsOf(shell), dockTargetOf(note)});
        }
        if (row != m_rows.cend())
            ++matchedRows;
        if (row == m_rows.cend() || !sameBytes(row->payload, payload)) {
            const QString storedId = row != m_rows.cend() ? row->storedId : storedIdText(note.id);
            plan.changes.writes.push_back({storedId, payload, note.updatedAt.secondsSinceReferenceDate});
            plan.rowsWritten.emplace_back(note.id, Row{storedId, payload});
        } else if (row->payload.constData() != payload.constData()) {
            // Equal bytes in two buffers: keep one, so later saves compare pointers.
            plan.rowsWritten.emplace_back(note.id, Row{row->storedId, payload});
        }
    }

    checkUniqueIds(notes, blank, known, plan.encoded);

    if (full) {
        // Rows of notes that are gone or blank are deleted; entries of notes
        // no longer listed are forgotten. Looked for only when the counts say
        // there is something to find.
        if (matchedRows < m_rows.size() || notesWithEntries < m_encoded.size()) {
            QSet<QUuid> listed;
            QSet<QUuid> stored;
            for (size_t index = 0; index < notes.size(); ++index) {
                listed.insert(notes[index].id);
                if (!blank[index])
                    stored.insert(notes[index].id);
            }
            for (auto row = m_rows.cbegin(); row != m_rows.cend(); ++row) {
                if (!stored.contains(row.key())) {
                    plan.changes.deletions.push_back(row->storedId);
                    plan.rowsDeleted.push_back(row.key());
                }
            }
            for (auto entry = m_encoded.cbegin(); entry != m_encoded.cend(); ++entry) {
                if (!listed.contains(entry.key()))
                    plan.forgotten.push_back(entry.key());
            }
        }
    } else {
        // Changed notes that left the list lose their row and their entry.
        QSet<QUuid> listedChanged;
        for (const size_t index : candidates)
            listedChanged.insert(notes[index].id);
        for (auto changed = m_changed.cbegin(); changed != m_changed.cend(); ++changed) {
            const QUuid& id = changed.key();
            if (listedChanged.contains(id))
                continue;
            if (const auto row = m_rows.constFind(id); row != m_rows.cend()) {
                plan.changes.deletions.push_back(row->storedId);
                plan.rowsDeleted.push_back(id);
            }
            if (m_encoded.contains(id))
                plan.forgotten.push_back(id);
        }
    }

    const QByteArray appState = appStatePayload(preferences);
    if (!m_appState || !sameBytes(*m_appState, appState))
        plan.changes.appState = appState;
    return plan;
}

void RecordWriter::checkUniqueIds(const std::vector<Note>& notes, const std::vector<bool>& blank,
                                  const std::vector<bool>& known,
                                  const std::vector<std::pair<QUuid, Encoded>>& encoded) const
{
    QSet<QUuid> reencoded;
    for (const auto& [id, entry] : encoded)
        reencoded.insert(id);
    // An id held by a note that was not encoded again still counts when that
    // note is stored; finding it is rare, so a linear search serves.
    const auto storedWithoutChange = [&](const QUuid& owner) {
        if (reencoded.contains(owner))
            return false;
        for (size_t index = 0; index < notes.size(); ++index) {
            if (notes[index].id != owner)
                continue;
            if (known[index])
                return !blank[index];
            const auto entry = m_encoded.constFind(owner);
            return entry != m_encoded.cend() ? !entry->blank : !notes[index].isEmpty();
        }
        return false;
    };
    // `ownIds` gives the ids of an entry that may be another note's: those
    // it did not hold before.
    const auto check = [&](const QHash<QUuid, QUuid>& owners, auto idsOf, auto ownIds, const QString& message) {
        // Ids two encoded notes both claim. With one note encoded there are
        // none to find: a note's own ids were checked to be unique.
        QHash<QUuid, QUuid> claimed;
        const bool several = encoded.size() > 1;
        for (const auto& [noteId, entry] : encoded) {
            const std::vector<QUuid>& ids = idsOf(entry);
            // The one note encoded claims nothing another note holds with
            // the ids it held.
            const auto [from, to] = several ? std::pair(ids.data(), ids.data() + ids.size()) : ownIds(noteId, entry);
            for (const QUuid* id = from; id != to; ++id) {
                if (several) {
                    const auto earlier = claimed.constFind(*id);
                    if (earlier != claimed.cend() && *earlier != noteId)
                        refuse(message);
                    claimed.insert(*id, noteId);
                }
                const QUuid owner = owners.value(*id);
                if (!owner.isNull() && owner != noteId && storedWithoutChange(owner))
                    refuse(message);
            }
        }
    };
    check(m_blockOwners, [](const Encoded& entry) -> const std::vector<QUuid>& { return entry.blockIds; },
          [this](const QUuid& noteId, const Encoded& entry) { return blockIdsNotKept(noteId, entry.blockIds); },
          QStringLiteral("备份含有重复 Block ID。"));
    check(m_linkOwners, [](const Encoded& entry) -> const std::vector<QUuid>& { return entry.linkIds; },
          [](const QUuid&, const Encoded& entry) {
              return std::pair(entry.linkIds.data(), entry.linkIds.data() + entry.linkIds.size());
          },
          QStringLiteral("文件关联记录无效。"));
}

void RecordWriter::forgetOwner(QHash<QUuid, QUuid>& owners, const QUuid* from, const QUuid* to, const QUuid& owner)
{
    for (const QUuid* id = from; id != to; ++id) {
        const auto found = owners.find(*id);
        if (found != owners.end() && *found == owner)
            owners.erase(found);
    }
}

std::optional<RecordWriter::Room> RecordWriter::roomWanted(const Plan& plan) const
{
    // Below this, fresh memory costs the save little.
    constexpr qsizetype large = 1 << 20;
    std::optional<Room> wanted;
    for (const auto& [id, entry] : plan.encoded) {
        const QByteArray& payload = entry.note.payload();
        if (payload.size() < large || (wanted && wanted->bytes >= payload.size()))
            continue;
        const auto replaced = m_encoded.constFind(id);
        if (replaced != m_encoded.cend() && replaced->note.capacity() >= payload.size() / 2)
            continue;
        // Room to grow a little: the next encoding reserves what its blocks
        // may take, somewhat more than they do, and keeps less than an
        // eighth more than it holds.
        const size_t blocks = entry.blockIds.size();
        wanted = Room{id, payload.size() + payload.size() / 10, blocks + blocks / 10};
    }
    return wanted;
}

void RecordWriter::lend(const QUuid& note, EncodedNote room)
{
    if (m_recycled && m_recycled->first == note && m_recycled->second.capacity() >= room.capacity())
        return;
    m_recycled.emplace(note, std::move(room));
}

void RecordWriter::adopt(Plan plan)
{
    m_preferencesJson = std::move(plan.preferencesJson);
    if (plan.changes.appState)
        m_appState = std::move(plan.changes.appState);
    for (auto& [id, row] : plan.rowsWritten)
        m_rows.insert(id, std::move(row));
    for (const QUuid& id : plan.rowsDeleted)
        m_rows.remove(id);
    for (const QUuid& id : plan.forgotten) {
        if (m_recycled && m_recycled->first == id)
            m_recycled.reset();
        const auto found = m_encoded.find(id);
        forget(id, *found);
        m_encoded.erase(found);
    }
    for (auto& [id, entry] : plan.encoded) {
        // A note of many blocks typed in mostly keeps its block ids, at the
        // same places from either end: their owner stays as it is.
        Ends kept{0, 0};
        if (const auto old = m_encoded.find(id); old != m_encoded.end()) {
            kept = sharedEnds(old->blockIds, entry.blockIds);
            forget(id, *old, kept);
            m_recycled.emplace(id, std::move(old->note));
        }
        remember(id, std::move(entry), kept);
    }
    m_changed.removeIf([&](QHash<QUuid, quint64>::iterator changed) { return *changed <= plan.marks; });
}

} // namespace quorrin
