#pragma once

#include "Domain/ParsedJson.h"

#include "Domain/Block.h"
#include "Domain/FileLink.h"
#include "Domain/NoteColor.h"
#include "Domain/NoteDock.h"
#include "Domain/RichText.h"
#include "Domain/WindowFrame.h"
#include "Core/Time/Calendar.h"
#include "Core/Time/Clock.h"

#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>
#include <vector>

namespace quorrin {

// One note: a floating window whose body is an ordered list of blocks. A
// default note is made now, cream, fully opaque, with one empty paragraph.
struct Note {
    QUuid id = QUuid::createUuid();
    Date createdAt = systemNow();
    Date updatedAt = systemNow();
    NoteColor color = NoteColor::Cream;
    double opacity = 1.0;
    bool alwaysOnTop = false;
    bool isCollapsed = false;
    bool isHidden = false;
    WindowFrame frame = defaultFrame(); // the expanded frame, kept while collapsed
    std::vector<Block> blocks = {Block()}; // stored order, archived todos included
    bool prioritySorted = false;
    std::optional<Date> deletedAt; // present while in the recently-deleted list
    std::optional<bool> deletionIsExplicit;
    std::optional<QString> customTitle;
    std::optional<RichText> customTitleRich;
    std::optional<NoteDock> docking;
    std::optional<std::vector<PersistentFileLink>> fileLinks;

    static constexpr WindowFrame defaultFrame() { return WindowFrame{100, 150, 310, 330}; }
    inline static const QString untitled = QStringLiteral("未命名便笺");

    // A default note whose dates (and its block's) come from the clock.
    static Note create(const Clock& clock);

    // The custom title trimmed of whitespace and newlines, or "未命名便笺" when
    // that leaves nothing.
    QString title() const;
    // Whether the string holds anything visible: a character that is neither
    // whitespace, a newline, a control or format character, U+200B nor U+FEFF.
    static bool hasText(const QString& text);
    // Whether the note holds nothing worth keeping: no file link, no visible
    // custom title, and no block with visible text, remarks, an attachment,
    // a reminder or unreadable text.
    bool isEmpty() const;
    // Drops the file links. A note that held nothing but its links would then
    // be thrown away as a blank draft: it keeps their names as its title.
    void removeFileLinks();

    // This note holding other blocks, its own left uncopied.
    Note withBlocks(std::vector<Block> otherBlocks) const;

    // The blocks as shown: archived ones dropped and, when `prioritySorted`,
    // each run of consecutive todos stably ordered by priority.
    std::vector<Block> displayBlocks() const;
    // The same order as positions in `blocks`: a note of many blocks can be
    // walked in it without copying them.
    std::vector<std::size_t> displayOrder() const;
    // Whether the blocks are shown as they are stored, all of them in the
    // same order: none is archived and the note is not priority-sorted.
    bool showsBlocksAsStored() const;
    // Moves block `moved` right before (or after) block `target` in stored
    // order. Nothing happens on a priority-sorted note, for equal ids or for
    // an id that names no block.
    void move(const QUuid& moved, const QUuid& target, bool after);
    // The same move made on the shown order: a priority-sorted note first
    // stores its shown order and stops sorting. Archived blocks can be
    // neither moved nor targets.
    void moveDisplayedBlock(const QUuid& moved, const QUuid& target, bool after);

    // Turns each todo that this change completed and that repeats into an
    // archived instance followed by a fresh successor due at the next
    // occurrence. `previous` is the note before the change; when it holds
    // several blocks with one id, the first one counts.
    void completeRepeatingTransitions(const Note& previous, Date now, const Calendar& calendar);

    friend bool operator==(const Note& a, const Note& b);

    static Note fromJson(const QJsonValue& value);
    static Note fromJson(const json::ParsedValue& value);
    QJsonValue toJson() const;
};

} // namespace quorrin
