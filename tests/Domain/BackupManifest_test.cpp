#include "ModelSamples.h"

#include "Domain/AppError.h"

#include <gtest/gtest.h>

#include <functional>

using namespace quorrin;
using namespace Qt::StringLiterals;

namespace {

const QString versionMessage = u"备份版本不受支持，请使用相应版本的 Quorrin。"_s;
const QString duplicateNoteMessage = u"备份含有重复便笺 ID。"_s;
const QString linkMessage = u"文件关联记录无效。"_s;
const QString windowMessage = u"备份窗口数据无效。"_s;
const QString duplicateBlockMessage = u"备份含有重复 Block ID。"_s;
const QString localTimeMessage = u"提醒本地时间无效。"_s;
const QString reminderDateMessage = u"提醒日期无效。"_s;
const QString priorityMessage = u"待办优先级无效。"_s;
const QString attachmentMessage = u"备份附件路径无效。"_s;

// Two valid notes: a todo with a reminder, a note-level and a todo-level link,
// and an image block. No repeat rules.
BackupManifest validManifest()
{
    Note first = samples::note(1, {samples::todo(10, 1), samples::block(11, BlockKind::Image)});
    first.blocks[0].todo->reminder = TodoReminder{Date{700000000}, std::nullopt, LocalReminderTime{2023, 3, 8, 9, 30}};
    first.blocks[1].attachment = samples::attachment(12);
    first.fileLinks = std::vector{samples::fileLink(20, first.id), samples::fileLink(21, first.id, first.blocks[0].id)};
    Note second = samples::note(2, {samples::todo(30, 4, true)});
    return BackupManifest{6, Date{0}, {first, second}, Preferences()};
}

// The message validation gives, or nothing when the manifest passes.
std::optional<QString> validationMessage(const BackupManifest& manifest)
{
    try {
        manifest.validate();
        return std::nullopt;
    } catch (const AppError& error) {
        return error.message;
    }
}

using Change = std::function<void(BackupManifest&)>;

Note& first(BackupManifest& m) { return m.notes[0]; }
LocalReminderTime& localTime(BackupManifest& m) { return *m.notes[0].blocks[0].todo->reminder->localTime; }

struct Case {
    const char* name;
    Change change;
    std::optional<QString> message;
};

void run(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        BackupManifest manifest = validManifest();
        c.change(manifest);
        EXPECT_EQ(validationMessage(manifest), c.message) << c.name;
    }
}

TEST(ManifestValidation, acceptsAValidManifest)
{
    EXPECT_EQ(validationMessage(validManifest()), std::nullopt);
    EXPECT_EQ(validationMessage(BackupManifest()), std::nullopt);
}

TEST(ManifestValidation, schemaVersionAndNoteIds)
{
    run({
        {"version 1", [](BackupManifest& m) { m.schemaVersion = 1; }, std::nullopt},
        {"version 0", [](BackupManifest& m) { m.schemaVersion = 0; }, versionMessage},
        {"version 7", [](BackupManifest& m) { m.schemaVersion = 7; }, versionMessage},
        {"version min", [](BackupManifest& m) { m.schemaVersion = std::numeric_limits<qint64>::min(); }, versionMessage},
        {"version before duplicates",
         [](BackupManifest& m) {
             m.schemaVersion = 9;
             m.notes[1].id = m.notes[0].id;
         },
         versionMessage},
        {"duplicate note before anything else",
         [](BackupManifest& m) {
             m.notes[1].id = m.notes[0].id;
             first(m).opacity = 0; // would fail later
         },
         duplicateNoteMessage},
    });
}

TEST(ManifestValidation, fileLinks)
{
    run({
        {"link of another note", [](BackupManifest& m) { (*first(m).fileLinks)[0].noteID = m.notes[1].id; }, linkMessage},
        {"empty display name", [](BackupManifest& m) { (*first(m).fileLinks)[1].displayName.clear(); }, linkMessage},
        {"empty bookmark", [](BackupManifest& m) { (*first(m).fileLinks)[0].bookmark.clear(); }, linkMessage},
        {"duplicate within a note",
         [](BackupManifest& m) { (*first(m).fileLinks)[1].id = (*first(m).fileLinks)[0].id; }, linkMessage},
        {"duplicate across notes",
         [](BackupManifest& m) {
             m.notes[1].fileLinks = std::vector{samples::fileLink(20, m.notes[1].id)};
         },
         linkMessage},
        {"links before window",
         [](BackupManifest& m) {
             first(m).frame.width = 10;
             (*first(m).fileLinks)[0].bookmark.clear();
         },
         linkMessage},
    });
}

TEST(ManifestValidation, windowData)
{
    const double nan = std::nan("");
    run({
        {"opacity 0.2", [](BackupManifest& m) { first(m).opacity = 0.2; }, std::nullopt},
        {"opacity 1.0", [](BackupManifest& m) { first(m).opacity = 1.0; }, std::nullopt},
        {"opacity 0.19", [](BackupManifest& m) { first(m).opacity = 0.19; }, windowMessage},
        {"opacity 1.01", [](BackupManifest& m) { first(m).opacity = 1.01; }, windowMessage},
        {"opacity NaN", [=](BackupManifest& m) { first(m).opacity = nan; }, windowMessage},
        {"width 220", [](BackupManifest& m) { first(m).frame.width = 220; }, std::nullopt},
        {"width 20000", [](BackupManifest& m) { first(m).frame.width = 20000; }, std::nullopt},
        {"width 219.9", [](BackupManifest& m) { first(m).frame.width = 219.9; }, windowMessage},
        {"width 20000.5", [](BackupManifest& m) { first(m).frame.width = 20000.5; }, windowMessage},
        {"height 100", [](BackupManifest& m) { first(m).frame.height = 100; }, std::nullopt},
        {"height 99.5", [](BackupManifest& m) { first(m).frame.height = 99.5; }, windowMessage},
        {"height 20001", [](BackupManifest& m) { first(m).frame.height = 20001; }, windowMessage},
        {"x infinite", [](BackupManifest& m) { first(m).frame.x = HUGE_VAL; }, windowMessage},
        {"y NaN", [=](BackupManifest& m) { m.notes[1].frame.y = nan; }, windowMessage},
        {"negative position", [](BackupManifest& m) { first(m).frame.x = -5000; }, std::nullopt},
        {"window before blocks",
         [](BackupManifest& m) {
             first(m).frame.height = 1;
             first(m).blocks[0].todo->priority = 9;
         },
         windowMessage},
    });
}

TEST(ManifestValidation, blocksAndReminders)
{
    run({
        {"duplicate block within note",
         [](BackupManifest& m) { first(m).blocks[1].id = first(m).blocks[0].id; }, duplicateBlockMessage},
        {"duplicate block across notes",
         [](BackupManifest& m) { m.notes[1].blocks[0].id = first(m).blocks[0].id; }, duplicateBlockMessage},
        {"month 13", [](BackupManifest& m) { localTime(m).month = 13; }, std::nullopt},
        {"year 9999", [](BackupManifest& m) { localTime(m).year = 9999; }, std::nullopt},
        {"month 14", [](BackupManifest& m) { localTime(m).month = 14; }, localTimeMessage},
        {"month 0", [](BackupManifest& m) { localTime(m).month = 0; }, localTimeMessage},
        {"year 0", [](BackupManifest& m) { localTime(m).year = 0; }, localTimeMessage},
        {"year 10000", [](BackupManifest& m) { localTime(m).year = 10000; }, localTimeMessage},
        {"day 32", [](BackupManifest& m) { localTime(m).day = 32; }, localTimeMessage},
        {"day 0", [](BackupManifest& m) { localTime(m).day = 0; }, localTimeMessage},
        {"hour 24", [](BackupManifest& m) { localTime(m).hour = 24; }, localTimeMessage},
        {"minute 60", [](BackupManifest& m) { localTime(m).minute = 60; }, localTimeMessage},
        {"minute -1", [](BackupManifest& m) { localTime(m).minute = -1; }, localTimeMessage},
        {"reminder date NaN",
         [](BackupManifest& m) { first(m).blocks[0].todo->reminder->date = Date{std::nan("")}; }, reminderDateMessage},
        {"local time before date",
         [](BackupManifest& m) {
             first(m).blocks[0].todo->reminder->date = Date{HUGE_VAL};
             localTime(m).hour = 99;
         },
         localTimeMessage},
        {"reminder before priority",
         [](BackupManifest& m) {
             first(m).blocks[0].todo->reminder->date = Date{-HUGE_VAL};
             first(m).blocks[0].todo->priority = 0;
         },
         reminderDateMessage},
    });
}

TEST(ManifestValidation, prioritiesAndAttachmentPaths)
{
    run({
        {"priority 0", [](BackupManifest& m) { first(m).blocks[0].todo->priority = 0; }, priorityMessage},
        {"priority 5", [](BackupManifest& m) { first(m).blocks[0].todo->priority = 5; }, priorityMessage},
        {"priority on archived todo", [](BackupManifest& m) { m.notes[1].blocks[0].todo->priority = 5; }, priorityMessage},
        {"priority on a paragraph's todo data",
         [](BackupManifest& m) {
             m.notes[1].blocks[0].kind = BlockKind::Paragraph;
             m.notes[1].blocks[0].todo->priority = std::numeric_limits<qint64>::max();
         },
         priorityMessage},
        {"priority 1 to 4", [](BackupManifest& m) { first(m).blocks[0].todo->priority = 3; }, std::nullopt},
        {"path with folder", [](BackupManifest& m) { first(m).blocks[1].attachment->relativePath = u"a/b.png"_s; },
         attachmentMessage},
        {"absolute path", [](BackupManifest& m) { first(m).blocks[1].attachment->relativePath = u"/etc/passwd"_s; },
         attachmentMessage},
        {"trailing slash", [](BackupManifest& m) { first(m).blocks[1].attachment->relativePath = u"b.png/"_s; },
         attachmentMessage},
        {"two dots inside", [](BackupManifest& m) { first(m).blocks[1].attachment->relativePath = u"a..png"_s; },
         attachmentMessage},
        {"parent", [](BackupManifest& m) { first(m).blocks[1].attachment->relativePath = u".."_s; }, attachmentMessage},
        {"the folder itself", [](BackupManifest& m) { first(m).blocks[1].attachment->relativePath = u"."_s; },
         attachmentMessage},
        {"NUL", [](BackupManifest& m) { first(m).blocks[1].attachment->relativePath = u"a\0.png"_s; }, attachmentMessage},
        {"empty", [](BackupManifest& m) { first(m).blocks[1].attachment->relativePath.clear(); }, attachmentMessage},
        {"single dot inside", [](BackupManifest& m) { first(m).blocks[1].attachment->relativePath = u".hidden.png"_s; },
         std::nullopt},
        {"priority before attachment",
         [](BackupManifest& m) {
             first(m).blocks[1].todo = TodoMetadata();
             first(m).blocks[1].todo->priority = 7;
             first(m).blocks[1].attachment->relativePath.clear();
         },
         priorityMessage},
    });
}

// Opening checks each stored row on its own, then only the ids across rows:
// that must fail exactly as validating all the notes together would.
TEST(ManifestValidation, idsAcrossNotesFailAsTheWholeManifestWould)
{
    const auto messageAcross = [](const std::vector<Note>& notes) -> std::optional<QString> {
        try {
            BackupManifest::validateIdsAcross(notes);
            return std::nullopt;
        } catch (const AppError& error) {
            return error.message;
        }
    };
    const auto linkOf = [](const Note& note, int n) { return samples::fileLink(n, note.id); };
    const std::vector<Case> cases = {
        {"unique", [](BackupManifest&) {}, std::nullopt},
        {"note id", [](BackupManifest& m) { m.notes[1].id = m.notes[0].id; }, duplicateNoteMessage},
        {"block id", [](BackupManifest& m) { m.notes[1].blocks[0].id = m.notes[0].blocks[1].id; },
         duplicateBlockMessage},
        {"link id",
         [&](BackupManifest& m) { m.notes[1].fileLinks = std::vector{linkOf(m.notes[1], 21)}; }, linkMessage},
        {"a note's links are checked before its blocks",
         [&](BackupManifest& m) {
             m.notes[1].fileLinks = std::vector{linkOf(m.notes[1], 20)};
             m.notes[1].blocks[0].id = m.notes[0].blocks[0].id;
         },
         linkMessage},
        {"an earlier note's block before a later note's link",
         [&](BackupManifest& m) {
             m.notes.push_back(samples::note(3, {samples::block(40)}));
             m.notes[1].blocks[0].id = m.notes[0].blocks[0].id;
             m.notes[2].fileLinks = std::vector{linkOf(m.notes[2], 20)};
         },
         duplicateBlockMessage},
    };
    for (const Case& c : cases) {
        BackupManifest manifest = validManifest();
        c.change(manifest);
        for (const Note& note : manifest.notes)
            ASSERT_EQ(validationMessage(BackupManifest{6, Date{0}, {note}, Preferences()}), std::nullopt) << c.name;
        EXPECT_EQ(messageAcross(manifest.notes), c.message) << c.name;
        EXPECT_EQ(validationMessage(manifest), c.message) << c.name;
    }
}

TEST(AppError, describesItselfByItsText)
{
    const AppError error(u"重复任务规则无效。"_s);
    EXPECT_EQ(error.message, u"重复任务规则无效。"_s);
    EXPECT_STREQ(error.what(), "重复任务规则无效。");
}

} // namespace
