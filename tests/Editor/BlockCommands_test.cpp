#include "Editor/BlockCommands.h"

#include "EditorTestSupport.h"

#include <QMenu>
#include <QTimeZone>

namespace quorrin {
namespace {

using namespace quorrin::testing;
using blockcommands::MenuAction;

std::vector<QString> titles(const std::vector<blockcommands::MenuItem>& items)
{
    std::vector<QString> result;
    for (const auto& item : items)
        result.push_back(item.isSeparator() ? QStringLiteral("—") : item.title);
    return result;
}

TodoReminder dailyAt(Date date)
{
    RepeatRule rule;
    rule.frequency = RepeatRule::Frequency::Daily;
    rule.hour = 9;
    return TodoReminder{date, rule, std::nullopt};
}

TEST(BlockMenu, ItemsDependOnKindCompletionRepetitionAndAttachment)
{
    const std::vector<QString> common = {QStringLiteral("转为待办事项"), QStringLiteral("普通文本"),
                                         QStringLiteral("H1 大标题"),   QStringLiteral("H2 标题"),
                                         QStringLiteral("H3 小标题"),   QStringLiteral("—"),
                                         QStringLiteral("在上方插入"),   QStringLiteral("在下方插入"),
                                         QStringLiteral("复制内容块"),   QStringLiteral("上移"),
                                         QStringLiteral("下移")};
    const auto with = [&](std::vector<QString> before, std::vector<QString> after) {
        before.insert(before.end(), common.begin(), common.end());
        before.insert(before.end(), after.begin(), after.end());
        return before;
    };
    Block paragraph = makeBlock(BlockKind::Paragraph, QStringLiteral("a"));
    EXPECT_EQ(titles(blockcommands::menuItems(&paragraph)), with({}, {QStringLiteral("删除内容块")}));
    EXPECT_EQ(titles(blockcommands::menuItems(nullptr)), with({}, {QStringLiteral("删除内容块")}));

    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("t"));
    todo.todo->reminder = dailyAt(fixedNow());
    EXPECT_EQ(titles(blockcommands::menuItems(&todo)),
              with({QStringLiteral("设置提醒")},
                   {QStringLiteral("归档并停止重复…"), QStringLiteral("删除内容块并停止重复")}));
    todo.todo->isCompleted = true;
    EXPECT_EQ(titles(blockcommands::menuItems(&todo)).front(), QStringLiteral("转为待办事项"));

    Block image = makeBlock(BlockKind::Image, QString());
    image.attachment = Attachment();
    const auto items = blockcommands::menuItems(&image);
    EXPECT_EQ(titles(items), with({}, {QStringLiteral("删除内容块"), QStringLiteral("—"), QStringLiteral("打开附件"),
                                       QStringLiteral("预览／标注附件…")}));
    EXPECT_EQ(items[0].argument, QVariant(QStringLiteral("todo")));
    EXPECT_EQ(items[6].argument, QVariant(true));
    EXPECT_EQ(items[7].argument, QVariant(false));
    EXPECT_EQ(items.back().action, MenuAction::PreviewAttachment);
}

TEST(BlockCommands, RefontKeepsColoursAndBoldOfFormerHeadings)
{
    AttributedString text(QStringLiteral("ab"));
    TextAttributes red;
    red.font = TextFont{QStringLiteral("Serif"), 30, true, true};
    red.foreground = TextColor::fixed({1, 0, 0, 1});
    text.setAttributes(1, 1, red);

    const AttributedString h2 = blockcommands::refont(text, BlockKind::H2, 13);
    EXPECT_EQ(h2.attributesAt(0).font, TextFont::system(21, true)); // a run without font
    EXPECT_EQ(h2.attributesAt(1).font, (TextFont{QStringLiteral("Serif"), 21, true, true}));
    EXPECT_EQ(h2.attributesAt(1).foreground, red.foreground);

    const AttributedString body = blockcommands::refont(h2, BlockKind::Paragraph, 13);
    EXPECT_EQ(body.attributesAt(0).font, TextFont::system(13, true));
    EXPECT_EQ(body.attributesAt(1).foreground, red.foreground);
}

TEST(BlockCommands, MutationsOnTheBlockList)
{
    Block a = makeBlock(BlockKind::Paragraph, QStringLiteral("a"));
    Block blank = makeBlock(BlockKind::Paragraph, QStringLiteral("  \t"));
    Block archived = makeBlock(BlockKind::Todo, QStringLiteral("old"));
    archived.todo->archivedAt = fixedNow();
    Note note = makeNote({a, blank, archived});

    // addTodo: a blank line becomes the todo; else a new todo after the current block, or at the end.
    EXPECT_EQ(blockcommands::addTodo(note, blank.id, fixedNow()), blank.id);
    EXPECT_EQ(note.blocks[1].kind, BlockKind::Todo);
    const QUuid afterA = blockcommands::addTodo(note, a.id, fixedNow());
    EXPECT_EQ(note.blocks[1].id, afterA);
    const QUuid atEnd = blockcommands::addTodo(note, std::nullopt, fixedNow());
    EXPECT_EQ(note.blocks.back().id, atEnd);

    // Moves go by stored order, archived neighbours included, and stop at the ends.
    Note moved = makeNote({a, archived, blank});
    blockcommands::move(moved, a.id, -1);
    EXPECT_EQ(moved.blocks[0].id, a.id);
    blockcommands::move(moved, a.id, +1);
    EXPECT_EQ(moved.blocks[1].id, a.id);
    moved.prioritySorted = true;
    blockcommands::move(moved, a.id, +1);
    EXPECT_EQ(moved.blocks[1].id, a.id);

    // Deleting the last shown block leaves an empty line beside archived todos.
    Note lone = makeNote({a, archived});
    blockcommands::remove(lone, a.id, fixedNow());
    ASSERT_EQ(lone.blocks.size(), 2u);
    EXPECT_EQ(lone.blocks[1].kind, BlockKind::Paragraph);
    EXPECT_FALSE(lone.blocks[1].isArchived());

    // A duplicate copies everything but its id and creation date.
    Block repeating = makeBlock(BlockKind::Todo, QStringLiteral("r"));
    repeating.todo->reminder = dailyAt(fixedNow());
    Note copies = makeNote({repeating});
    const auto copy = blockcommands::duplicate(copies, repeating.id, Date{fixedNow().secondsSinceReferenceDate + 5});
    ASSERT_TRUE(copy);
    EXPECT_NE(*copy, repeating.id);
    EXPECT_EQ(copies.blocks[1].todo, repeating.todo);
    EXPECT_EQ(copies.blocks[1].createdAt.secondsSinceReferenceDate, fixedNow().secondsSinceReferenceDate + 5);
    EXPECT_FALSE(blockcommands::duplicate(copies, QUuid::createUuid(), fixedNow()));

    blockcommands::archiveAndStopRepeating(copies, repeating.id, fixedNow());
    EXPECT_TRUE(copies.blocks[0].isArchived());
    EXPECT_FALSE(copies.blocks[0].todo->reminder->repetition);
    EXPECT_EQ(copies.blocks[0].todo->reminder->date.secondsSinceReferenceDate, fixedNow().secondsSinceReferenceDate);
}

TEST(BlockCommands, RungReminderMovesOnOrGoes)
{
    const Calendar berlin(QTimeZone("Europe/Berlin"));
    const Date now = Date::fromDateTime(QDateTime(QDate(2024, 3, 5), QTime(10, 0), QTimeZone("Europe/Berlin")));
    const auto next = blockcommands::afterRinging(dailyAt(now), now, berlin);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->date.toDateTime(), QDateTime(QDate(2024, 3, 6), QTime(9, 0), QTimeZone("Europe/Berlin")));
    EXPECT_EQ(next->localTime, (LocalReminderTime{2024, 3, 6, 9, 0}));
    EXPECT_FALSE(blockcommands::afterRinging(TodoReminder{now, std::nullopt, std::nullopt}, now, berlin));
}

class BlockCommandEditorTest : public EditorFixture {
protected:
    void trigger(const QUuid& id, const QString& title, bool* found = nullptr)
    {
        std::unique_ptr<QMenu> menu(editor->menu(id));
        for (QAction* action : menu->actions()) {
            if (action->text() == title) {
                action->trigger();
                if (found)
                    *found = true;
                return;
            }
        }
        ADD_FAILURE() << "no item " << title.toStdString();
    }
};

TEST_F(BlockCommandEditorTest, MenuActionsAreUndoableChangesUnderTheirNames)
{
    Block first = makeBlock(BlockKind::Paragraph, QStringLiteral("一"));
    Block second = makeBlock(BlockKind::Paragraph, QStringLiteral("二"));
    open({first, second});
    trigger(second.id, QStringLiteral("H2 标题"));
    EXPECT_EQ(stored().blocks[1].kind, BlockKind::H2);
    EXPECT_EQ(stored().blocks[1].text.attributed().attributesAt(0).font->pointSize, 21);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("转换内容块"));

    trigger(second.id, QStringLiteral("上移"));
    EXPECT_EQ(stored().blocks[0].id, second.id);
    trigger(first.id, QStringLiteral("在上方插入"));
    EXPECT_EQ(stored().blocks.size(), 3u);
    EXPECT_EQ(editor->currentBlock(), stored().blocks[1].id); // the new line has the caret
    trigger(first.id, QStringLiteral("复制内容块"));
    trigger(first.id, QStringLiteral("删除内容块"));
    EXPECT_EQ(stored().blocks.size(), 3u);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("删除内容块"));
    editor->history()->undo();
    EXPECT_EQ(stored().blocks.size(), 4u);
    EXPECT_EQ(editor->selectedBlock, first.id);
}

TEST_F(BlockCommandEditorTest, ConvertToTodoGrowsInOnlyWithAnimationsAndMotion)
{
    Block line = makeBlock(BlockKind::Paragraph, QString());
    open({line});
    std::vector<QUuid> revealed;
    editor->startTaskReveal = [&](const QUuid& id) { revealed.push_back(id); };
    editor->prefersReducedMotion = [] { return true; };
    store->preferences_.animations = true;
    editor->convert(line.id, BlockKind::Todo);
    EXPECT_TRUE(revealed.empty());
    EXPECT_TRUE(editor->revealProgress.empty());

    editor->convert(line.id, BlockKind::Paragraph);
    editor->prefersReducedMotion = [] { return false; };
    editor->convert(line.id, BlockKind::Todo);
    EXPECT_EQ(revealed, std::vector<QUuid>{line.id});
    EXPECT_EQ(editor->revealProgress[line.id], 0);
    editor->revealProgress.clear();
    editor->convert(line.id, BlockKind::Todo); // already a todo: one undo step, no animation
    EXPECT_EQ(revealed.size(), 1u);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("转换内容块"));
}

TEST_F(BlockCommandEditorTest, AddTodoConvertsABlankLineOrAddsAfterTheCaret)
{
    Block text = makeBlock(BlockKind::Paragraph, QStringLiteral("文字"));
    Block blank = makeBlock(BlockKind::Paragraph, QStringLiteral(" "));
    open({text, blank});
    caretAt(editor->ranges()[1].start);
    EXPECT_EQ(editor->addTodo(), blank.id);
    EXPECT_EQ(stored().blocks[1].kind, BlockKind::Todo);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("转换内容块"));

    caretAt(1);
    const auto added = editor->addTodo();
    ASSERT_TRUE(added);
    EXPECT_EQ(stored().blocks[1].id, *added);
    EXPECT_EQ(editor->currentBlock(), added);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("新增待办事项"));
}

TEST_F(BlockCommandEditorTest, StopRepeatingAsksFirst)
{
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("每天"));
    todo.todo->reminder = dailyAt(fixedNow());
    open({todo, makeBlock(BlockKind::Paragraph, QStringLiteral("x"))});
    QStringList asked;
    bool answer = false;
    editor->confirm = [&](const QString& message, const QString& informative, const QString& yes, const QString& no) {
        asked = {message, informative, yes, no};
        return answer;
    };
    trigger(todo.id, QStringLiteral("归档并停止重复…"));
    EXPECT_EQ(asked, (QStringList{QStringLiteral("归档当前待办并停止重复？"), QStringLiteral("归档保留内容，不会生成下一实例。"),
                                  QStringLiteral("归档并停止"), QStringLiteral("取消")}));
    EXPECT_FALSE(stored().blocks[0].isArchived());
    answer = true;
    trigger(todo.id, QStringLiteral("归档并停止重复…"));
    EXPECT_TRUE(stored().blocks[0].isArchived());
    EXPECT_FALSE(stored().blocks[0].todo->reminder->repetition);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("归档并停止重复"));
}

TEST_F(BlockCommandEditorTest, EndingAnAlarmOnlyWhenItRingsAndWasSaved)
{
    Block once = makeBlock(BlockKind::Todo, QStringLiteral("一次"));
    once.todo->reminder = TodoReminder{fixedNow(), std::nullopt, std::nullopt};
    Block quiet = makeBlock(BlockKind::Todo, QStringLiteral("安静"));
    quiet.todo->reminder = once.todo->reminder;
    open({once, quiet});
    std::vector<std::pair<QUuid, QUuid>> ringing = {{noteID, once.id}};
    std::vector<QUuid> acknowledged;
    editor->alarmCenter = [&] { return ringing; };
    editor->acknowledgeInAlarmCenter = [&](const QUuid&, const QUuid& block) { acknowledged.push_back(block); };

    EXPECT_EQ(editor->acknowledgeAlarm(quiet.id), ChangeResult::Refused);
    EXPECT_TRUE(stored().blocks[1].todo->reminder);

    store->failImmediateSaves = true;
    EXPECT_EQ(editor->acknowledgeAlarm(once.id), ChangeResult::SaveFailed);
    EXPECT_TRUE(acknowledged.empty());
    EXPECT_TRUE(stored().blocks[0].todo->reminder);

    store->failImmediateSaves = false;
    EXPECT_EQ(editor->acknowledgeAlarm(once.id), ChangeResult::Applied);
    EXPECT_FALSE(stored().blocks[0].todo->reminder);
    EXPECT_EQ(acknowledged, std::vector<QUuid>{once.id});
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("结束提醒"));
}

TEST_F(BlockCommandEditorTest, AttachmentItemsOpenThroughTheirHooks)
{
    Block pdf = makeBlock(BlockKind::Pdf, QString());
    Attachment attachment;
    attachment.relativePath = QStringLiteral("x.pdf");
    pdf.attachment = attachment;
    open({pdf});
    store->attachmentsDirectory = QStringLiteral("/data/Attachments");
    QString opened;
    std::optional<Attachment> previewed;
    editor->openFile = [&](const QString& path) { opened = path; };
    editor->showAttachmentPanel = [&](const Attachment& a) { previewed = a; };
    trigger(pdf.id, QStringLiteral("打开附件"));
    trigger(pdf.id, QStringLiteral("预览／标注附件…"));
    EXPECT_EQ(opened, QStringLiteral("/data/Attachments/x.pdf"));
    EXPECT_EQ(previewed, attachment);
    // An attachment block keeps its kind whatever it is converted to.
    trigger(pdf.id, QStringLiteral("普通文本"));
    EXPECT_EQ(stored().blocks[0].kind, BlockKind::Pdf);
}

} // namespace
} // namespace quorrin
