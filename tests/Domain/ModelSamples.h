#pragma once

#include "Domain/BackupManifest.h"
#include "Domain/Note.h"

#include <QUuid>

namespace quorrin::samples {

inline QUuid uuid(int n)
{
    return QUuid(QStringLiteral("00000000-0000-4000-8000-%1").arg(n, 12, 10, QLatin1Char('0')));
}

inline Clock fixedClock(double seconds)
{
    return [seconds] { return Date{seconds}; };
}

inline RichText text(const QString& plain)
{
    return RichText(plain, TextFont::system(14));
}

inline Block block(int n, BlockKind kind = BlockKind::Paragraph, const QString& plain = {})
{
    Block result = Block::create(fixedClock(700000000));
    result.id = uuid(n);
    result.kind = kind;
    result.text = text(plain);
    if (kind == BlockKind::Todo)
        result.todo = TodoMetadata();
    return result;
}

inline Block todo(int n, qint64 priority, bool archived = false)
{
    Block result = block(n, BlockKind::Todo);
    result.todo->priority = priority;
    if (archived)
        result.todo->archivedAt = Date{700000100};
    return result;
}

inline Note note(int n, std::vector<Block> blocks = {})
{
    Note result = Note::create(fixedClock(700000000));
    result.id = uuid(n);
    result.blocks = std::move(blocks);
    return result;
}

inline Attachment attachment(int n)
{
    Attachment result;
    result.id = uuid(n);
    result.relativePath = QStringLiteral("0A1B2C3D-0000-4000-8000-000000000001.png");
    result.originalFilename = QStringLiteral("照片 1.PNG");
    result.contentType = QStringLiteral("png");
    result.checksum = QString(64, QLatin1Char('a'));
    result.createdAt = Date{700000050.25};
    return result;
}

inline PersistentFileLink fileLink(int n, const QUuid& noteID, std::optional<QUuid> blockID = std::nullopt)
{
    return PersistentFileLink{uuid(n), noteID, blockID, QStringLiteral("报告.pdf"), QByteArray("bookmark\x00\xff", 10)};
}

// A note with every optional field present, down to the reminder's rule.
inline Note fullNote()
{
    Block todoBlock = todo(11, 2);
    todoBlock.text = text(QStringLiteral("买牛奶"));
    todoBlock.todo->isCompleted = true;
    todoBlock.todo->completedAt = Date{700000200.5};
    todoBlock.todo->archivedAt = Date{700000300};
    todoBlock.todo->notes = text(QStringLiteral("remarks"));
    todoBlock.todo->notesExpanded = true;
    todoBlock.todo->reminder = TodoReminder{
        Date{700003600},
        RepeatRule{RepeatRule::Frequency::Weekly, 9, 30, {2, 6}, 31},
        LocalReminderTime{2023, 3, 8, 9, 30},
    };
    Block imageBlock = block(12, BlockKind::Image);
    imageBlock.attachment = attachment(13);

    Note result = note(1, {block(10, BlockKind::H1, QStringLiteral("Heading")), todoBlock, imageBlock});
    result.color = NoteColor::Lavender;
    result.opacity = 0.85;
    result.alwaysOnTop = true;
    result.isCollapsed = true;
    result.isHidden = true;
    result.frame = WindowFrame{-120.5, 40, 400, 512.25};
    result.prioritySorted = true;
    result.deletedAt = Date{700009999};
    result.deletionIsExplicit = true;
    result.customTitle = QStringLiteral("购物 ✓");
    result.customTitleRich = text(QStringLiteral("购物 ✓"));
    result.docking = NoteDock{uuid(2), DockEdge::Below};
    result.fileLinks = std::vector<PersistentFileLink>{fileLink(20, result.id), fileLink(21, result.id, uuid(11))};
    return result;
}

inline Preferences fullPreferences()
{
    Preferences result;
    result.color = NoteColor::Sage;
    result.fontName = QStringLiteral("Noto Sans CJK SC");
    result.fontSize = 15.5;
    result.opacity = 0.9;
    result.alwaysOnTop = true;
    result.width = 280;
    result.height = 300;
    result.defaultText = text(QStringLiteral("x"));
    result.confirmDeletion = false;
    result.animations = false;
    result.closeRetentionUpgraded = true;
    result.persistFileLinks = false;
    result.privateReminderContent = true;
    return result;
}

} // namespace quorrin::samples
