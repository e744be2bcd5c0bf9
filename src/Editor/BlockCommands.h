#pragma once

#include "Domain/Block.h"
#include "Domain/Note.h"
#include "Core/Time/Calendar.h"

#include <QString>
#include <QUuid>
#include <QVariant>

#include <optional>
#include <vector>

namespace quorrin {

// The commands on single blocks of a note, as mutations of the note value,
// and the block menu that lists them. A mutation that finds no block with
// the id leaves the note unchanged.
namespace blockcommands {

// Undo names of the commands.
namespace actionName {
inline const QString convert = QStringLiteral("转换内容块");
inline const QString addTodo = QStringLiteral("新增待办事项");
inline const QString insert = QStringLiteral("插入内容块");
inline const QString duplicate = QStringLiteral("复制内容块");
inline const QString remove = QStringLiteral("删除内容块");
inline const QString move = QStringLiteral("移动内容块");
inline const QString stopRepeating = QStringLiteral("归档并停止重复");
inline const QString endReminder = QStringLiteral("结束提醒");
} // namespace actionName

// An empty paragraph in the system font made now.
Block emptyParagraph(Date now);
// An empty todo with default todo data made now.
Block emptyTodo(Date now);
// A paragraph whose text holds nothing but white space.
bool isEmptyParagraph(const Block& block);

// The text re-fonted for a kind: headings bold at their size, every other
// kind at the body size; colours, underlines and strikes stay.
AttributedString refont(const AttributedString& text, BlockKind kind, double bodySize);

void convert(Note& note, const QUuid& id, BlockKind kind, double bodySize, const Clock& clock);
// Turns the empty paragraph `current` into a todo, or adds a new todo after
// it (at the end without it); answers the todo's id.
QUuid addTodo(Note& note, const std::optional<QUuid>& current, Date now);
void insertNear(Note& note, const QUuid& id, bool above, const Block& added);
// Answers the copy's id, or nothing.
std::optional<QUuid> duplicate(Note& note, const QUuid& id, Date now);
// Removes the block; a note left without a shown block gets an empty line.
void remove(Note& note, const QUuid& id, Date now);
// One place up (-1) or down (+1) in stored order; nothing while sorted by priority.
void move(Note& note, const QUuid& id, int offset);
void archiveAndStopRepeating(Note& note, const QUuid& id, Date now);
// What a rung reminder becomes: its next occurrence after now, or nothing.
std::optional<TodoReminder> afterRinging(const TodoReminder& reminder, Date now, const Calendar& calendar);
void setReminder(Note& note, const QUuid& id, const std::optional<TodoReminder>& reminder);

// The block menu.
enum class MenuAction {
    EditReminder,
    Convert,
    Insert,
    Duplicate,
    MoveUp,
    MoveDown,
    StopRepeating,
    Delete,
    OpenAttachment,
    PreviewAttachment,
};
struct MenuItem {
    QString title; // empty for a separator
    std::optional<MenuAction> action;
    QVariant argument; // a kind's raw value, or above (true) / below (false)

    bool isSeparator() const { return !action; }
    friend bool operator==(const MenuItem&, const MenuItem&) = default;
};
// The items for a block (none: the block or note is missing).
std::vector<MenuItem> menuItems(const Block* block);

} // namespace blockcommands
} // namespace quorrin
