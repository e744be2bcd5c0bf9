#pragma once

#include "Domain/Note.h"
#include "Domain/Preferences.h"
#include "Persistence/NoteStore.h"
#include "Persistence/RecordWriter.h"
#include "Core/Storage/RecordStore.h"

#include <QDir>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace quorrin::bench {

// Writes notes as stored rows into a fresh data directory, the way the store
// itself would, and gives its path. The directory is made under `parent`
// (the system's temporary folder when empty) and lives until the benchmark
// program ends. The preferences are stored as the store's app state.
inline QString storedNotesDirectory(const std::vector<Note>& notes, const QString& parent = {},
                                    const Preferences& preferences = {})
{
    static std::vector<std::unique_ptr<QTemporaryDir>> directories;
    auto& directory = directories.emplace_back(
        parent.isEmpty() ? std::make_unique<QTemporaryDir>()
                         : std::make_unique<QTemporaryDir>(QDir(parent).filePath(QStringLiteral("quorrin-XXXXXX"))));
    RecordStore store(directory->filePath(NoteStore::storeFileName));
    RecordChanges changes;
    for (const Note& note : notes) {
        changes.writes.push_back({note.id.toString(QUuid::WithoutBraces).toUpper(), notePayload(note, preferences),
                                  note.updatedAt.secondsSinceReferenceDate});
    }
    changes.appState = appStatePayload(preferences);
    store.apply(changes);
    return directory->path();
}

// The same for `count` notes made by `makeNote`.
inline QString storedNotesDirectory(int count, const std::function<Note(int)>& makeNote)
{
    std::vector<Note> notes;
    notes.reserve(size_t(count));
    for (int index = 0; index < count; ++index)
        notes.push_back(makeNote(index));
    return storedNotesDirectory(notes);
}

// What a generated store looks like.
struct StoreShape {
    int notes = 1000;
    // One note in `longEvery` holds `longBlocks` blocks; the others 1 to 10.
    int longEvery = 50;
    int longBlocks = 200;
    // One note in `dockedEvery` is docked to the note made before it.
    int dockedEvery = 20;
    // One todo in `reminderEvery` has a reminder, every other one repeating.
    int reminderEvery = 8;
    // One note in `deletedEvery` sits in the recently deleted (0: none).
    int deletedEvery = 0;
    // Notes are spread over this area of the screen.
    QRectF screen{0, 0, 1280, 800};
    unsigned seed = 42;
};

// A store as people keep one: most notes short, a few long ones, headings,
// bullets and todos with priorities and reminders, some notes docked to
// others. The same shape always gives the same notes apart from their ids.
inline std::vector<Note> realisticNotes(const StoreShape& shape)
{
    static const QString lines[] = {
        QStringLiteral("买牛奶、鸡蛋和面包"),
        QStringLiteral("回复王经理关于下周会议的邮件"),
        QStringLiteral("Review the quarterly budget before Friday"),
        QStringLiteral("整理项目文档，补充接口说明和测试用例"),
        QStringLiteral("Call the dentist to move the appointment"),
        QStringLiteral("读书笔记：第三章讲的是如何把大问题拆成小问题，每一步都可以单独验证。"),
    };
    static const BlockKind kinds[] = {BlockKind::Paragraph, BlockKind::Paragraph, BlockKind::Todo,
                                      BlockKind::Todo,      BlockKind::Bullet,    BlockKind::H2};
    constexpr double base = 800000000; // seconds since the reference date
    std::mt19937 random(shape.seed);
    const auto pick = [&](int below) { return int(random() % unsigned(std::max(below, 1))); };

    std::vector<Note> notes;
    notes.reserve(size_t(shape.notes));
    int todoCount = 0;
    for (int index = 0; index < shape.notes; ++index) {
        Note note;
        note.createdAt = Date{base + index * 60.0};
        note.updatedAt = Date{base + index * 60.0 + 30};
        note.color = NoteColor(pick(4));
        note.frame = WindowFrame{shape.screen.x() + pick(int(shape.screen.width()) - 320),
                                 shape.screen.y() + pick(int(shape.screen.height()) - 340), 310, 330};
        const int blockCount = shape.longEvery > 0 && index % shape.longEvery == shape.longEvery - 1
            ? shape.longBlocks
            : 1 + pick(10);
        note.blocks.clear();
        for (int line = 0; line < blockCount; ++line) {
            Block block;
            block.createdAt = note.createdAt;
            block.updatedAt = note.updatedAt;
            block.kind = kinds[pick(6)];
            block.text = RichText(lines[pick(6)], TextFont::system(14));
            if (block.kind == BlockKind::Todo) {
                block.todo = TodoMetadata();
                block.todo->priority = 1 + pick(4);
                block.todo->isCompleted = pick(3) == 0;
                if (block.todo->isCompleted)
                    block.todo->completedAt = note.updatedAt;
                if (shape.reminderEvery > 0 && ++todoCount % shape.reminderEvery == 0 && !block.todo->isCompleted) {
                    TodoReminder reminder;
                    reminder.date = Date{base + 86400.0 * (30 + pick(300))};
                    if (todoCount % (2 * shape.reminderEvery) == 0)
                        reminder.repetition = RepeatRule{RepeatRule::Frequency::Daily, 9, 0, {}, 1};
                    block.todo->reminder = reminder;
                }
            }
            note.blocks.push_back(block);
        }
        if (shape.dockedEvery > 0 && index > 0 && index % shape.dockedEvery == 0 && !notes.back().docking
            && !notes.back().deletedAt)
            note.docking = NoteDock{notes.back().id, DockEdge::Right};
        if (shape.deletedEvery > 0 && index % shape.deletedEvery == shape.deletedEvery - 1 && !note.docking) {
            note.deletedAt = note.updatedAt;
            note.deletionIsExplicit = true;
        }
        notes.push_back(std::move(note));
    }
    return notes;
}

} // namespace quorrin::bench
