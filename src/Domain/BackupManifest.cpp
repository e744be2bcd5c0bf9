#include "Domain/BackupManifest.h"

#include "Domain/AppError.h"
#include "Domain/Json.h"

#include <QSet>

#include <cmath>

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

void validateBlock(const Block& block, QSet<QUuid>& seenBlockIDs)
{
    if (seenBlockIDs.contains(block.id))
        fail(u"备份含有重复 Block ID。"_s);
    seenBlockIDs.insert(block.id);
    if (block.todo) {
        if (block.todo->reminder)
            validateReminder(*block.todo->reminder);
        if (!within(block.todo->priority, highestPriority, lowestPriority))
            fail(u"待办优先级无效。"_s);
    }
    if (block.attachment && !isSafeAttachmentName(block.attachment->relativePath))
        fail(u"备份附件路径无效。"_s);
}

} // namespace

void BackupManifest::validate() const
{
    if (!within(schemaVersion, oldestSchemaVersion, currentSchemaVersion))
        fail(u"备份版本不受支持，请使用相应版本的 Quorrin。"_s);

    QSet<QUuid> noteIDs;
    for (const Note& note : notes)
        noteIDs.insert(note.id);
    if (noteIDs.size() != qsizetype(notes.size()))
        fail(u"备份含有重复便笺 ID。"_s);

    QSet<QUuid> seenLinkIDs;
    QSet<QUuid> seenBlockIDs;
    for (const Note& note : notes) {
        validateFileLinks(note, seenLinkIDs);
        validateWindow(note);
        for (const Block& block : note.blocks)
            validateBlock(block, seenBlockIDs);
    }
}

BackupManifest BackupManifest::fromJson(const QJsonValue& value)
{
    const json::ObjectReader reader(value);
    return BackupManifest{
        .schemaVersion = reader.get<qint64>("schemaVersion"_L1),
        .createdAt = reader.get<Date>("createdAt"_L1),
        .notes = reader.get<std::vector<Note>>("notes"_L1),
        .preferences = reader.get<Preferences>("preferences"_L1),
    };
}

QJsonValue BackupManifest::toJson() const
{
    return json::ObjectWriter()
        .set("schemaVersion"_L1, schemaVersion)
        .set("createdAt"_L1, createdAt)
        .set("notes"_L1, notes)
        .set("preferences"_L1, preferences)
        .object();
}

} // namespace quorrin
