// The checks every decoded manifest passes before its notes are used.
#include "Domain/AppError.h"
#include "Domain/BackupManifest.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <vector>

namespace quorrin {

using namespace Qt::StringLiterals;

namespace {

bool within(double value, double lowest, double highest)
{
    return std::isfinite(value) && value >= lowest && value <= highest;
}

bool within(qint64 value, qint64 lowest, qint64 highest)
{
    return value >= lowest && value <= highest;
}

[[noreturn]] void fail(const QString& message)
{
    throw AppError(message);
}

void validateFileLinks(const Note& note, QSet<QUuid>& seenLinkIDs)
{
    if (!note.fileLinks)
        return;
    for (const PersistentFileLink& link : *note.fileLinks) {
        const bool valid = link.noteID == note.id && !seenLinkIDs.contains(link.id) && !link.displayName.isEmpty()
            && !link.bookmark.isEmpty();
        if (!valid)
            fail(u"文件关联记录无效。"_s);
        seenLinkIDs.insert(link.id);
    }
}

void validateWindow(const Note& note)
{
    const WindowFrame& frame = note.frame;
    const bool valid = within(note.opacity, 0.2, 1.0) && std::isfinite(frame.width) && std::isfinite(frame.height)
        && std::isfinite(frame.x) && within(frame.height, 100.0, 20000.0) && within(frame.width, 220.0, 20000.0)
        && std::isfinite(frame.y);
    if (!valid)
        fail(u"备份窗口数据无效。"_s);
}

void validateReminder(const TodoReminder& reminder)
{
    if (reminder.repetition)
        reminder.repetition->validate();
    if (const std::optional<LocalReminderTime>& time = reminder.localTime) {
        const bool valid = within(time->year, 1, 9999) && within(time->month, 1, 13) && within(time->day, 1, 31)
            && within(time->hour, 0, 23) && within(time->minute, 0, 59);
        if (!valid)
            fail(u"提醒本地时间无效。"_s);
    }
    if (!std::isfinite(reminder.date.secondsSinceReferenceDate))
        fail(u"提醒日期无效。"_s);
}

// A bare file name directly inside the attachments folder: no folder part,
// nothing that climbs out or names the folder itself, no NUL that would cut
// the path short.
bool isSafeAttachmentName(const QString& path)
{
    return !path.isEmpty() && !path.contains(u'/') && !path.contains(u"..") && path != u"."_s
        && !path.contains(QChar(u'\0'));
}

void validateBlockContent(const Block& block)
{
    if (block.todo) {
        if (block.todo->reminder)
            validateReminder(*block.todo->reminder);
        if (!within(block.todo->priority, highestPriority, lowestPriority))
            fail(u"待办优先级无效。"_s);
    }
    if (block.attachment && !isSafeAttachmentName(block.attachment->relativePath))
        fail(u"备份附件路径无效。"_s);
}

void validateBlock(const Block& block, QSet<QUuid>& seenBlockIDs)
{
    if (seenBlockIDs.contains(block.id))
        fail(u"备份含有重复 Block ID。"_s);
    seenBlockIDs.insert(block.id);
    validateBlockContent(block);
}

void validateUniqueNoteIds(const std::vector<Note>& notes)
{
    QSet<QUuid> noteIDs;
    noteIDs.reserve(qsizetype(notes.size()));
    for (const Note& note : notes)
        noteIDs.insert(note.id);
    if (noteIDs.size() != qsizetype(notes.size()))
        fail(u"备份含有重复便笺 ID。"_s);
}

qsizetype blockCount(const std::vector<Note>& notes)
{
    qsizetype count = 0;
    for (const Note& note : notes)
        count += qsizetype(note.blocks.size());
    return count;
}

// Whether some id appears more than once. Sorting a flat copy touches far
// less memory than a hash set of every block id of a whole store.
bool holdsRepeats(std::vector<QUuid> ids)
{
    using Bits = std::array<quint64, 2>;
    std::sort(ids.begin(), ids.end(),
              [](const QUuid& a, const QUuid& b) { return std::bit_cast<Bits>(a) < std::bit_cast<Bits>(b); });
    return std::adjacent_find(ids.begin(), ids.end()) != ids.end();
}

} // namespace

void BackupManifest::validate() const
{
    if (!within(schemaVersion, oldestSchemaVersion, currentSchemaVersion))
        fail(u"备份版本不受支持，请使用相应版本的 Quorrin。"_s);

    validateUniqueNoteIds(notes);

    QSet<QUuid> seenLinkIDs;
    QSet<QUuid> seenBlockIDs;
    seenBlockIDs.reserve(blockCount(notes));
    for (const Note& note : notes) {
        validateFileLinks(note, seenLinkIDs);
        validateWindow(note);
        for (const Block& block : note.blocks)
            validateBlock(block, seenBlockIDs);
    }
}

void BackupManifest::validateBlocks(const std::vector<Block>& blocks, bool idsKnownUnique)
{
    if (idsKnownUnique) {
        for (const Block& block : blocks)
            validateBlockContent(block);
        return;
    }
    QSet<QUuid> seenBlockIDs;
    seenBlockIDs.reserve(qsizetype(blocks.size()));
    for (const Block& block : blocks)
        validateBlock(block, seenBlockIDs);
}

void BackupManifest::validateIdsAcross(const std::vector<Note>& notes)
{
    validateUniqueNoteIds(notes);

    std::vector<QUuid> linkIDs;
    std::vector<QUuid> blockIDs;
    blockIDs.reserve(size_t(blockCount(notes)));
    for (const Note& note : notes) {
        if (note.fileLinks) {
            for (const PersistentFileLink& link : *note.fileLinks)
                linkIDs.push_back(link.id);
        }
        for (const Block& block : note.blocks)
            blockIDs.push_back(block.id);
    }
    if (!holdsRepeats(std::move(linkIDs)) && !holdsRepeats(std::move(blockIDs)))
        return;

    // Something repeats: the same walk as validate() makes finds the same
    // duplicate first.
    QSet<QUuid> seenLinkIDs;
    QSet<QUuid> seenBlockIDs;
    seenBlockIDs.reserve(blockCount(notes));
    for (const Note& note : notes) {
        if (note.fileLinks) {
            for (const PersistentFileLink& link : *note.fileLinks) {
                if (seenLinkIDs.contains(link.id))
                    fail(u"文件关联记录无效。"_s);
                seenLinkIDs.insert(link.id);
            }
        }
        for (const Block& block : note.blocks) {
            if (seenBlockIDs.contains(block.id))
                fail(u"备份含有重复 Block ID。"_s);
            seenBlockIDs.insert(block.id);
        }
    }
}

} // namespace quorrin
