#include "Editor/BlockCommands.h"

#include "Editor/EditorText.h"

#include <algorithm>

namespace quorrin::blockcommands {
namespace {

std::vector<Block>::iterator find(Note& note, const QUuid& id)
{
    return std::find_if(note.blocks.begin(), note.blocks.end(), [&](const Block& block) { return block.id == id; });
}

} // namespace

Block emptyParagraph(Date now)
{
    Block block;
    block.kind = BlockKind::Paragraph;
    block.text = emptyDefaultText();
    block.createdAt = now;
    block.updatedAt = now;
    return block;
}

Block emptyTodo(Date now)
{
    Block block = emptyParagraph(now);
    block.kind = BlockKind::Todo;
    block.todo = TodoMetadata();
    return block;
}

bool isEmptyParagraph(const Block& block)
{
    return block.kind == BlockKind::Paragraph && block.text.attributed().string().trimmed().isEmpty();
}

AttributedString refont(const AttributedString& text, BlockKind kind, double bodySize)
{
    const std::optional<double> heading = editortext::headingSize(kind);
    const double size = heading.value_or(bodySize);
    AttributedString result = text;
    for (const AttributedString::Run& run : text.runs()) {
        TextFont font = run.attributes.font.value_or(TextFont::system(size));
        font.pointSize = size;
        if (heading)
            font.bold = true; // a heading turned back into text keeps its bold face
        result.setFont(run.start, run.length, font);
    }
    return result;
}

void convert(Note& note, const QUuid& id, BlockKind kind, double bodySize, const Clock& clock)
{
    const auto block = find(note, id);
    if (block == note.blocks.end())
        return;
    block->convert(kind, clock);
    if (!blockKind::isAttachment(kind))
        block->text = RichText(refont(block->text.attributed(), kind, bodySize));
}

QUuid addTodo(Note& note, const std::optional<QUuid>& current, Date now)
{
    const auto at = current ? find(note, *current) : note.blocks.end();
    if (at != note.blocks.end() && isEmptyParagraph(*at)) {
        at->convert(BlockKind::Todo, [now] { return now; });
        return at->id;
    }
    const Block todo = emptyTodo(now);
    note.blocks.insert(at == note.blocks.end() ? at : at + 1, todo);
    return todo.id;
}

void insertNear(Note& note, const QUuid& id, bool above, const Block& added)
{
    const auto at = find(note, id);
    if (at != note.blocks.end())
        note.blocks.insert(above ? at : at + 1, added);
}

std::optional<QUuid> duplicate(Note& note, const QUuid& id, Date now)
{
    const auto at = find(note, id);
    if (at == note.blocks.end())
        return std::nullopt;
    Block copy = *at;
    copy.id = QUuid::createUuid();
    copy.createdAt = now;
    note.blocks.insert(at + 1, copy);
    return copy.id;
}

void remove(Note& note, const QUuid& id, Date now)
{
    std::erase_if(note.blocks, [&](const Block& block) { return block.id == id; });
    if (std::none_of(note.blocks.begin(), note.blocks.end(), [](const Block& block) { return !block.isArchived(); }))
        note.blocks.push_back(emptyParagraph(now));
}

void move(Note& note, const QUuid& id, int offset)
{
    if (note.prioritySorted)
        return;
    const auto at = find(note, id);
    if (at == note.blocks.end())
        return;
    const auto index = at - note.blocks.begin();
    const auto target = index + offset;
    if (target >= 0 && target < std::ssize(note.blocks))
        std::swap(note.blocks[std::size_t(index)], note.blocks[std::size_t(target)]);
}

void archiveAndStopRepeating(Note& note, const QUuid& id, Date now)
{
    const auto at = find(note, id);
    if (at == note.blocks.end() || !at->todo)
        return;
    at->todo->archivedAt = now;
    if (at->todo->reminder)
        at->todo->reminder->repetition.reset();
}

std::optional<TodoReminder> afterRinging(const TodoReminder& reminder, Date now, const Calendar& calendar)
{
    if (!reminder.repetition)
        return std::nullopt;
    const std::optional<Date> next = reminder.repetition->next(now, calendar);
    if (!next)
        return std::nullopt;
    return TodoReminder{*next, reminder.repetition, LocalReminderTime::from(*next, calendar)};
}

void setReminder(Note& note, const QUuid& id, const std::optional<TodoReminder>& reminder)
{
    const auto at = find(note, id);
    if (at != note.blocks.end() && at->todo)
        at->todo->reminder = reminder;
}

std::vector<MenuItem> menuItems(const Block* block)
{
    const auto item = [](const QString& title, MenuAction action, QVariant argument = {}) {
        return MenuItem{title, action, std::move(argument)};
    };
    const MenuItem separator;
    const bool repeating = block && block->todo && block->todo->reminder && block->todo->reminder->repetition;
    std::vector<MenuItem> items;
    if (block && block->kind == BlockKind::Todo && !(block->todo && block->todo->isCompleted))
        items.push_back(item(QStringLiteral("设置提醒"), MenuAction::EditReminder));
    items.push_back(item(QStringLiteral("转为待办事项"), MenuAction::Convert, QStringLiteral("todo")));
    items.push_back(item(QStringLiteral("普通文本"), MenuAction::Convert, QStringLiteral("paragraph")));
    items.push_back(item(QStringLiteral("H1 大标题"), MenuAction::Convert, QStringLiteral("h1")));
    items.push_back(item(QStringLiteral("H2 标题"), MenuAction::Convert, QStringLiteral("h2")));
    items.push_back(item(QStringLiteral("H3 小标题"), MenuAction::Convert, QStringLiteral("h3")));
    items.push_back(separator);
    items.push_back(item(QStringLiteral("在上方插入"), MenuAction::Insert, true));
    items.push_back(item(QStringLiteral("在下方插入"), MenuAction::Insert, false));
    items.push_back(item(QStringLiteral("复制内容块"), MenuAction::Duplicate));
    items.push_back(item(QStringLiteral("上移"), MenuAction::MoveUp));
    items.push_back(item(QStringLiteral("下移"), MenuAction::MoveDown));
    if (repeating)
        items.push_back(item(QStringLiteral("归档并停止重复…"), MenuAction::StopRepeating));
    items.push_back(item(repeating ? QStringLiteral("删除内容块并停止重复") : QStringLiteral("删除内容块"),
                         MenuAction::Delete));
    if (block && block->attachment) {
        items.push_back(separator);
        items.push_back(item(QStringLiteral("打开附件"), MenuAction::OpenAttachment));
        items.push_back(item(QStringLiteral("预览／标注附件…"), MenuAction::PreviewAttachment));
    }
    return items;
}

} // namespace quorrin::blockcommands
