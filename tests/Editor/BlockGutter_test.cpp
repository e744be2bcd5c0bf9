#include "Editor/BlockGutter.h"

#include "EditorTestSupport.h"
#include "Editor/BlockMenuPanel.h"
#include "Support/Eventually.h"
#include "Support/PaintedArea.h"

#include <QAction>
#include <QApplication>
#include <QDrag>
#include <QEventLoop>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QUndoStack>

namespace quorrin {
namespace {

using namespace quorrin::testing;

class BlockGutterTest : public EditorFixture {
protected:
    BlockGutter* gutter = nullptr;

    void openNote(std::vector<Block> blocks)
    {
        store->preferences_.animations = false;
        open(std::move(blocks));
        editor->prefersReducedMotion = [] { return true; };
        editor->show();
        QApplication::processEvents();
        gutter = dynamic_cast<BlockGutter*>(editor->gutter.data());
        ASSERT_TRUE(gutter);
        gutter->pressedButtons = [] { return Qt::NoButton; };
    }
    void SetUp() override
    {
        Block done = makeBlock(BlockKind::Todo, QStringLiteral("done"));
        done.todo->isCompleted = true;
        openNote({makeBlock(BlockKind::Paragraph, QStringLiteral("alpha")),
                  makeBlock(BlockKind::Todo, QStringLiteral("buy milk")), std::move(done),
                  makeBlock(BlockKind::Paragraph, QStringLiteral("omega"))});
    }

    QUuid id(int index) const { return stored().blocks[size_t(index)].id; }
    const TextRun& row(const QUuid& block) const
    {
        const auto& ranges = editor->ranges();
        return *std::find_if(ranges.begin(), ranges.end(),
                             [&](const TextRun& run) { return run.blockID == block && !run.isRemarks; });
    }
    BlockControlLayout layout(const QUuid& block) const { return gutter->controls(row(block)); }
    QWidget* viewport() const { return editor->textView()->viewport(); }
    // A point of the content as the viewport sees it (nothing is scrolled).
    static QPoint at(QPointF content) { return content.toPoint(); }
    void click(QPointF content) { QTest::mouseClick(viewport(), Qt::LeftButton, {}, at(content)); }
    int caret() const { return editor->textView()->textCursor().position(); }
    std::vector<QUuid> storedOrder() const
    {
        std::vector<QUuid> ids;
        for (const Block& block : stored().blocks)
            ids.push_back(block.id);
        return ids;
    }
};

TEST_F(BlockGutterTest, LiesOverTheTextAndNamesItself)
{
    EXPECT_EQ(gutter->geometry(), editor->textView()->geometry());
    EXPECT_EQ(gutter->accessibleName(), QStringLiteral("内容块操作边栏"));
    EXPECT_TRUE(gutter->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(BlockGutterTest, ClicksOnEitherSideOfTheCheckboxEdgeGoToTheGutterOrTheText)
{
    const QUuid todo = id(1);
    const QRectF box = gutterlayout::hitBox(layout(todo).checkbox);
    caretAt(0);
    // Just outside, in the gap before the checkbox: the text places its caret.
    click(QPointF(box.left() - 1, box.center().y()));
    EXPECT_NE(caret(), 0);
    EXPECT_FALSE(storedBlock(todo)->todo->isCompleted);
    // Just inside: the todo is ticked and the caret stays.
    caretAt(0);
    click(QPointF(box.left() + 1, box.center().y()));
    EXPECT_EQ(caret(), 0);
    EXPECT_TRUE(storedBlock(todo)->todo->isCompleted);
}

TEST_F(BlockGutterTest, ClicksBetweenControlsAndOnAParagraphsCheckboxPlaceReachTheText)
{
    const std::pair<QUuid, QPointF> misses[] = {
        {id(1), QPointF(24, layout(id(1)).checkbox.center().y())},       // between menu handle and checkbox
        {id(0), layout(id(0)).checkbox.center()},                         // a paragraph has no checkbox
        {id(1), QPointF(gutter->width() / 2, layout(id(1)).checkbox.center().y())}, // the text itself
        {id(1), layout(id(1)).archiveButton.center()},                   // not completed: no archive button
        {id(1), layout(id(1)).reminderBell.center() + QPointF(4, 0)},    // the bell never reacts
    };
    for (const auto& [block, point] : misses) {
        EXPECT_FALSE(gutter->hitTest(point)) << point.x();
        const Note before = stored();
        caretAt(0);
        click(point);
        EXPECT_EQ(stored(), before);
    }
}

TEST_F(BlockGutterTest, CheckboxTogglesCompletionAsOneUndoStep)
{
    const QUuid todo = id(1);
    const int steps = editor->history()->count();
    click(layout(todo).checkbox.center());
    ASSERT_TRUE(storedBlock(todo)->todo->isCompleted);
    EXPECT_EQ(storedBlock(todo)->todo->completedAt, fixedNow());
    EXPECT_EQ(editor->history()->count(), steps + 1);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("切换待办完成"));
    editor->history()->undo();
    EXPECT_FALSE(storedBlock(todo)->todo->isCompleted);
    EXPECT_FALSE(storedBlock(todo)->todo->completedAt);
    click(layout(id(2)).checkbox.center()); // the completed one opens again
    EXPECT_FALSE(storedBlock(id(2))->todo->isCompleted);
}

TEST_F(BlockGutterTest, PriorityMenuOffersTheFourPrioritiesAndSetsOne)
{
    const QUuid todo = id(1);
    QStringList titles;
    std::vector<bool> checked;
    gutter->popUpMenu = [&](QMenu& menu, QPoint) {
        for (QAction* item : menu.actions()) {
            titles << item->text();
            checked.push_back(item->isChecked());
        }
        menu.actions()[1]->trigger();
    };
    click(layout(todo).priorityBar.center());
    EXPECT_EQ(titles, (QStringList{QStringLiteral("紧急"), QStringLiteral("高"), QStringLiteral("中"), QStringLiteral("低")}));
    EXPECT_EQ(checked, (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(storedBlock(todo)->todo->priority, 2);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("设置优先级"));
    EXPECT_EQ(editor->selectedBlock, todo);
}

TEST_F(BlockGutterTest, ChevronOpensTheRemarksWithTheCaretInThem)
{
    const QUuid todo = id(1);
    click(layout(todo).notesChevron.center());
    EXPECT_TRUE(storedBlock(todo)->todo->notesExpanded);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("展开／折叠备注"));
    const auto& ranges = editor->ranges();
    const auto remarks = std::find_if(ranges.begin(), ranges.end(),
                                      [&](const TextRun& run) { return run.blockID == todo && run.isRemarks; });
    ASSERT_NE(remarks, ranges.end());
    EXPECT_EQ(caret(), remarks->start);
}

TEST_F(BlockGutterTest, ArchiveButtonArchivesACompletedTodoOnce)
{
    const QUuid done = id(2);
    click(layout(done).archiveButton.center());
    EXPECT_TRUE(storedBlock(done)->isArchived());
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("归档待办"));
    EXPECT_EQ(std::count_if(editor->ranges().begin(), editor->ranges().end(),
                            [&](const TextRun& run) { return run.blockID == done; }),
              0);
}

TEST_F(BlockGutterTest, ATodoGrowingInReactsOnlyToItsHandles)
{
    const QUuid todo = id(1);
    editor->revealProgress[todo] = 0.5;
    EXPECT_FALSE(gutter->hitTest(layout(todo).checkbox.center()));
    EXPECT_EQ(gutter->hitTest(layout(todo).dragHandle.center()), BlockControl::DragHandle);
    EXPECT_EQ(gutter->hitTest(layout(todo).menuHandle.center()), BlockControl::MenuHandle);
    editor->revealProgress.erase(todo);
    EXPECT_EQ(gutter->hitTest(layout(todo).checkbox.center()), BlockControl::Checkbox);
}

TEST_F(BlockGutterTest, CursorsOverHandlesAndControls)
{
    EXPECT_EQ(gutter->cursor(layout(id(1)).dragHandle.center()), Qt::OpenHandCursor);
    EXPECT_EQ(gutter->cursor(layout(id(1)).checkbox.center()), Qt::PointingHandCursor);
    EXPECT_EQ(gutter->cursor(QPointF(gutter->width() / 2, layout(id(1)).checkbox.center().y())), std::nullopt);
    const auto rects = gutter->cursorRects();
    ASSERT_FALSE(rects.empty());
    EXPECT_EQ(rects.back().second, Qt::OpenHandCursor);
}

TEST_F(BlockGutterTest, ToolTipFollowsTheHoveredBlock)
{
    gutter->pointerMoved(QPointF(gutter->width() / 2, layout(id(1)).checkbox.center().y()));
    EXPECT_EQ(gutter->hovered, id(1));
    EXPECT_EQ(gutter->toolTip(), QStringLiteral("点击彩色标识切换优先级；悬停左侧双灰点打开内容块操作"));
    gutter->pointerMoved(QPointF(gutter->width() / 2, layout(id(0)).checkbox.center().y()));
    EXPECT_EQ(gutter->toolTip(), QStringLiteral("悬停双灰点打开内容块操作；拖动右侧手柄排序"));
    gutter->pointerExited();
    EXPECT_FALSE(gutter->hovered);
    EXPECT_FALSE(gutter->lastCursorPoint);
}

TEST_F(BlockGutterTest, RestingOnAMenuHandleOpensTheMenuAndLeavingClosesIt)
{
    gutter->pointerLocation = [] { return QPoint(-5000, -5000); };
    const QPointF handle = layout(id(0)).menuHandle.center();
    gutter->pointerMoved(handle);
    EXPECT_TRUE(gutter->isMenuOpenPending());
    EXPECT_EQ(gutter->pendingMenuID, id(0));
    ASSERT_TRUE(testing::eventually([&] { return gutter->menuPanel() != nullptr; }));
    EXPECT_EQ(gutter->menuPanel()->blockID(), id(0));

    gutter->pointerMoved(QPointF(gutter->width() / 2, handle.y()));
    EXPECT_TRUE(gutter->isMenuClosePending());
    EXPECT_TRUE(testing::eventually([&] { return gutter->menuPanel() == nullptr; }));
}

TEST_F(BlockGutterTest, PointerInsideTheOpenPanelKeepsIt)
{
    gutter->openBlockMenu(id(0), false);
    ASSERT_TRUE(gutter->menuPanel());
    const QPoint inside = gutter->menuPanel()->frameGeometry().topLeft() - QPoint(6, 6); // within the 8-point margin
    gutter->pointerLocation = [inside] { return inside; };
    gutter->scheduleMenuClose();
    QTest::qWait(450);
    EXPECT_TRUE(gutter->menuPanel());
}

TEST_F(BlockGutterTest, NoHoverMenuWithAButtonHeldNorAnyMenuForAnUnshownNoteOrWhileComposing)
{
    gutter->pressedButtons = [] { return Qt::LeftButton; };
    gutter->openBlockMenu(id(0), false);
    EXPECT_FALSE(gutter->menuPanel());
    gutter->openBlockMenu(id(0), true); // a click opens it all the same
    EXPECT_TRUE(gutter->menuPanel());
    gutter->closeBlockMenu();
    EXPECT_FALSE(gutter->menuPanel());

    gutter->pressedButtons = [] { return Qt::NoButton; };
    const Note shown = stored();
    const std::pair<const char*, std::function<void(Note&)>> states[] = {
        {"hidden", [](Note& note) { note.isHidden = true; }},
        {"deleted", [](Note& note) { note.deletedAt = fixedNow(); }},
        {"collapsed", [](Note& note) { note.isCollapsed = true; }},
    };
    for (const auto& [name, change] : states) {
        Note changed = shown;
        change(changed);
        store->notes = {changed};
        gutter->openBlockMenu(id(0), true);
        EXPECT_FALSE(gutter->menuPanel()) << name;
    }
    store->notes = {shown};
    QInputMethodEvent composing(QStringLiteral("zhong"), {});
    QCoreApplication::sendEvent(editor->textView(), &composing);
    gutter->openBlockMenu(id(0), true);
    EXPECT_FALSE(gutter->menuPanel()) << "composing";
    QInputMethodEvent cancelled;
    QCoreApplication::sendEvent(editor->textView(), &cancelled);
    gutter->openBlockMenu(id(0), true);
    EXPECT_TRUE(gutter->menuPanel());
}

TEST_F(BlockGutterTest, AClickOnAMenuHandleOpensTheMenuAtOnce)
{
    click(layout(id(3)).menuHandle.center());
    ASSERT_TRUE(gutter->menuPanel());
    EXPECT_EQ(gutter->menuPanel()->blockID(), id(3));
    EXPECT_EQ(editor->selectedBlock, id(3));
}

TEST_F(BlockGutterTest, TextChangeClosesTheMenu)
{
    gutter->openBlockMenu(id(0), false);
    ASSERT_TRUE(gutter->menuPanel());
    caretAt(1);
    QTest::keyClicks(editor->textView(), QStringLiteral("x"));
    EXPECT_FALSE(gutter->menuPanel());
}

// --- dragging

class BlockGutterDragTest : public BlockGutterTest {
protected:
    // Picks a block up by its handle and drops it in the top or bottom half
    // of another row, all inside one drag session.
    bool drag(const QUuid& moved, const QUuid& over, bool lowerHalf, bool drop = true)
    {
        const QRectF handle = layout(moved).dragHandle;
        QTest::mousePress(viewport(), Qt::LeftButton, {}, at(handle.center()));
        const TextRun& target = row(over);
        const QRectF line = editor->rect(target.start, target.length);
        const QPointF point(gutter->width() / 2, lowerHalf ? line.bottom() - 2 : line.top() + 2);
        bool dropped = false;
        bool ran = false;
        gutter->runDrag = [&](QDrag& session) {
            ran = true;
            const QMimeData& data = *session.mimeData();
            EXPECT_EQ(gutter->draggingUpdated(data, point), Qt::MoveAction);
            if (drop)
                dropped = gutter->performDragOperation(data, point);
            return dropped ? Qt::MoveAction : Qt::IgnoreAction;
        };
        QMouseEvent move(QEvent::MouseMove, QPointF(at(handle.center() + QPointF(0, 30))),
                         viewport()->mapToGlobal(QPointF(at(handle.center() + QPointF(0, 30)))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport(), &move);
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at(handle.center()));
        EXPECT_TRUE(ran);
        return dropped;
    }
};

// Every block of a note with an archived todo in the middle, dropped in
// every gap of the shown order (above the first row, below each row).
TEST_F(BlockGutterDragTest, ReordersToEveryPositionWhileArchivedBlocksStayInStore)
{
    Block archived = makeBlock(BlockKind::Todo, QStringLiteral("archived"));
    archived.todo->isCompleted = true;
    archived.todo->archivedAt = fixedNow();
    std::vector<Block> blocks{makeBlock(BlockKind::Paragraph, QStringLiteral("one")),
                              makeBlock(BlockKind::Todo, QStringLiteral("two")), archived,
                              makeBlock(BlockKind::Bullet, QStringLiteral("three")),
                              makeBlock(BlockKind::Paragraph, QStringLiteral("four"))};
    const Note original = makeNote(blocks);
    std::vector<QUuid> shown;
    for (const Block& block : original.displayBlocks())
        shown.push_back(block.id);
    const int n = int(shown.size());
    for (int source = 0; source < n; ++source) {
        for (int gap = 0; gap <= n; ++gap) {
            Note note = original;
            store->notes = {note};
            editor = std::make_unique<BlockEditor>(store, note.id, nullptr, fixedNow);
            noteID = note.id;
            editor->resize(320, 400);
            editor->show();
            gutter = dynamic_cast<BlockGutter*>(editor->gutter.data());
            gutter->pressedButtons = [] { return Qt::LeftButton; };
            const QUuid over = shown[size_t(gap == n ? n - 1 : gap)];
            drag(shown[size_t(source)], over, gap == n);

            std::vector<QUuid> expectedShown = shown;
            expectedShown.erase(expectedShown.begin() + source);
            expectedShown.insert(expectedShown.begin() + (gap > source ? gap - 1 : gap), shown[size_t(source)]);
            std::vector<QUuid> nowShown;
            for (const Block& block : stored().displayBlocks())
                nowShown.push_back(block.id);
            EXPECT_EQ(nowShown, expectedShown) << source << " to gap " << gap;
            // Apart from the moved block, every stored block, the archived
            // todo included, keeps its order.
            std::vector<QUuid> order = storedOrder();
            std::vector<QUuid> originalOrder;
            for (const Block& block : original.blocks)
                originalOrder.push_back(block.id);
            const bool storedChanged = order != originalOrder;
            std::erase(order, shown[size_t(source)]);
            std::erase(originalOrder, shown[size_t(source)]);
            EXPECT_EQ(order, originalOrder);
            EXPECT_EQ(*storedBlock(archived.id), archived);
            EXPECT_FALSE(editor->dragPreviewNote);
            EXPECT_EQ(editor->history()->count(), storedChanged ? 1 : 0);
            if (storedChanged) {
                EXPECT_EQ(editor->history()->undoText(), QStringLiteral("拖动排序"));
            }
        }
    }
}

TEST_F(BlockGutterDragTest, APrioritySortedNoteKeepsTheOrderTheUserSaw)
{
    Block urgent = makeBlock(BlockKind::Todo, QStringLiteral("urgent"));
    urgent.todo->priority = 1;
    Block archived = makeBlock(BlockKind::Todo, QStringLiteral("archived"));
    archived.todo->archivedAt = fixedNow();
    Block low = makeBlock(BlockKind::Todo, QStringLiteral("low"));
    Note note = makeNote({low, archived, urgent, makeBlock(BlockKind::Paragraph, QStringLiteral("end"))});
    note.prioritySorted = true;
    store->notes = {note};
    editor = std::make_unique<BlockEditor>(store, note.id, nullptr, fixedNow);
    noteID = note.id;
    editor->resize(320, 400);
    editor->show();
    gutter = dynamic_cast<BlockGutter*>(editor->gutter.data());
    gutter->pressedButtons = [] { return Qt::LeftButton; };
    // Shown: urgent, low, end. Move "end" to the top.
    drag(note.blocks[3].id, urgent.id, false);
    EXPECT_FALSE(stored().prioritySorted);
    std::vector<QUuid> expected{note.blocks[3].id, urgent.id, archived.id, low.id};
    EXPECT_EQ(storedOrder(), expected);
}

TEST_F(BlockGutterDragTest, ACancelledDragRestoresTheNoteExactly)
{
    gutter->pressedButtons = [] { return Qt::LeftButton; };
    caretAt(2);
    editor->textView()->setFocus();
    editor->flush(); // the text as the editor writes it back
    const Note before = stored();
    const QString textBefore = text();
    EXPECT_FALSE(drag(id(0), id(3), true, false));
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(text(), textBefore);
    EXPECT_FALSE(editor->dragPreviewNote);
    EXPECT_FALSE(editor->dragSourceID());
    EXPECT_TRUE(editor->dragRows().empty());
    EXPECT_FALSE(gutter->dropID);
    EXPECT_EQ(editor->history()->count(), 0);
}

TEST_F(BlockGutterDragTest, BlocksNeverMoveBetweenNotes)
{
    QMimeData foreign;
    foreign.setData(BlockGutter::dragType, gutterlayout::payload(QUuid::createUuid(), id(0)).toUtf8());
    EXPECT_EQ(gutter->draggingUpdated(foreign, QPointF(100, 10)), Qt::IgnoreAction);
    gutter->dropID = id(3);
    const Note before = stored();
    EXPECT_FALSE(gutter->performDragOperation(foreign, QPointF(100, 10)));
    EXPECT_EQ(stored(), before);
    EXPECT_FALSE(gutter->dropID);

    QMimeData text;
    text.setText(QStringLiteral("plain"));
    EXPECT_FALSE(gutter->carriesBlock(text));
    EXPECT_EQ(gutter->draggingUpdated(text, QPointF(100, 10)), Qt::IgnoreAction);
}

TEST_F(BlockGutterDragTest, AReleaseLostBeforeTheDragStartsLeavesNoDrag)
{
    const QRectF handle = layout(id(0)).dragHandle;
    QTest::mousePress(viewport(), Qt::LeftButton, {}, at(handle.center()));
    EXPECT_EQ(gutter->dragID, id(0));
    bool ran = false;
    gutter->runDrag = [&](QDrag&) {
        ran = true;
        return Qt::IgnoreAction;
    };
    // The pointer moves on with no button held: the release went elsewhere.
    const QPointF far = handle.center() + QPointF(0, 40);
    QMouseEvent move(QEvent::MouseMove, far, viewport()->mapToGlobal(far), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport(), &move);
    EXPECT_FALSE(gutter->dragID);
    EXPECT_FALSE(ran);
}

TEST_F(BlockGutterDragTest, ADragWhoseReleaseIsLostEndsAsACancel)
{
    editor->flush();
    const Note before = stored();
    const QString textBefore = text();
    gutter->pressedButtons = [] { return Qt::NoButton; }; // the button is up, but no release came
    QEventLoop session;
    bool cancelled = false;
    gutter->cancelDrag = [&] {
        cancelled = true;
        session.quit();
    };
    gutter->runDrag = [&](QDrag& drag) {
        const TextRun& target = row(id(3));
        gutter->draggingUpdated(*drag.mimeData(), QPointF(100, editor->rect(target.start, target.length).bottom() - 2));
        QTimer::singleShot(5000, &session, &QEventLoop::quit); // a stuck drag fails the test, not the run
        session.exec();
        return Qt::IgnoreAction;
    };
    gutter->dragID = id(0);
    gutter->mouseDragged(QPointF(0, 0));
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(text(), textBefore);
    EXPECT_FALSE(editor->dragPreviewNote);
}

} // namespace
} // namespace quorrin

namespace quorrin {
namespace {

class BlockGutterViewTest : public BlockGutterTest {
protected:
    void SetUp() override
    {
        std::vector<Block> blocks;
        for (int i = 0; i < 40; ++i)
            blocks.push_back(makeBlock(i % 2 ? BlockKind::Todo : BlockKind::Paragraph, QStringLiteral("line %1").arg(i)));
        openNote(std::move(blocks));
        editor->resize(320, 200);
        QApplication::processEvents();
    }
    QImage picture() const { return gutter->grab().toImage(); }
};

TEST_F(BlockGutterViewTest, ControlsStayOnTheirLinesWhenTheTextScrolls)
{
    QScrollBar* bar = editor->textView()->verticalScrollBar();
    const QUuid todo = id(21);
    const int scrolled = int(layout(todo).checkbox.center().y()) - 100;
    ASSERT_GT(scrolled, 200);
    ASSERT_GE(bar->maximum(), scrolled);
    bar->setValue(scrolled);
    const QPointF checkbox = layout(todo).checkbox.center() - QPointF(0, scrolled); // where the gutter shows it
    ASSERT_GT(checkbox.y(), 0);
    ASSERT_LT(checkbox.y(), gutter->height());
    EXPECT_EQ(gutter->hitTest(checkbox), BlockControl::Checkbox);
    EXPECT_FALSE(gutter->hitTest(layout(todo).checkbox.center())); // the unscrolled place is another line's text
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, checkbox.toPoint());
    EXPECT_TRUE(storedBlock(todo)->todo->isCompleted);
    for (int i = 0; i < 40; ++i) {
        if (i != 21) {
            const Block* block = storedBlock(id(i));
            EXPECT_FALSE(block->todo && block->todo->isCompleted) << i;
        }
    }
}

TEST_F(BlockGutterViewTest, HoverFollowsTheRowThatScrollsUnderAStillPointer)
{
    const QPointF pointer(gutter->width() / 2, layout(id(3)).checkbox.center().y());
    gutter->pointerMoved(pointer);
    ASSERT_EQ(gutter->hovered, id(3));
    QScrollBar* bar = editor->textView()->verticalScrollBar();
    const int scrolled = int(layout(id(11)).checkbox.center().y() - layout(id(3)).checkbox.center().y());
    ASSERT_GE(bar->maximum(), scrolled);
    bar->setValue(scrolled);
    EXPECT_EQ(gutter->hovered, id(11));
    EXPECT_EQ(gutter->lastCursorPoint, pointer);
}

TEST_F(BlockGutterViewTest, AControlClickedFarFromTheCaretLeavesTheViewWhereItWas)
{
    QScrollBar* bar = editor->textView()->verticalScrollBar();
    caretAt(int(text().size()));
    editor->textView()->ensureCursorVisible();
    ASSERT_GT(bar->value(), 0);
    bar->setValue(0);
    click(layout(id(1)).checkbox.center());
    ASSERT_TRUE(storedBlock(id(1))->todo->isCompleted);
    EXPECT_EQ(bar->value(), 0);

    // A caret in sight stays in sight as the text is rebuilt.
    bar->setValue(bar->maximum());
    const QPointF last = layout(id(39)).checkbox.center() - QPointF(0, bar->value());
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, last.toPoint());
    ASSERT_TRUE(storedBlock(id(39))->todo->isCompleted);
    EXPECT_TRUE(viewport()->rect().intersects(editor->textView()->cursorRect()));
}

TEST_F(BlockGutterViewTest, TodoControlsFadeWithTheRevealAndTheAlarmRingIsDrawn)
{
    const QUuid todo = id(1);
    const QPoint bar = layout(todo).priorityBar.center().toPoint();
    EXPECT_GT(qAlpha(picture().pixel(bar)), 200);
    editor->revealProgress[todo] = 0;
    EXPECT_EQ(qAlpha(picture().pixel(bar)), 0);
    editor->revealProgress.erase(todo);

    const TextRun& run = row(todo);
    const QRectF line = editor->rect(run.start, run.length);
    const QPoint ringLeft(6, int(line.center().y()));
    EXPECT_EQ(qAlpha(picture().pixel(ringLeft)), 0);
    editor->alarmCenter = [this, todo] { return std::vector<std::pair<QUuid, QUuid>>{{noteID, todo}}; };
    EXPECT_GT(qAlpha(picture().pixel(ringLeft)), 0);
}

TEST_F(BlockGutterViewTest, ControlsScrolledIntoViewArePaintedWholeOrInPart)
{
    QScrollBar* bar = editor->textView()->verticalScrollBar();
    const QUuid todo = id(21);
    const int scrolled = int(layout(todo).checkbox.center().y()) - 100;
    ASSERT_GE(bar->maximum(), scrolled);
    bar->setValue(scrolled);
    const QPoint shown = (layout(todo).priorityBar.center() - QPointF(0, scrolled)).toPoint();
    EXPECT_GT(qAlpha(picture().pixel(shown)), 200);
    // A part of the gutter painted alone shows the rows within it.
    QImage part(gutter->size(), QImage::Format_ARGB32_Premultiplied);
    part.fill(Qt::transparent);
    const QRect around(0, shown.y() - 4, gutter->width(), 8);
    gutter->render(&part, around.topLeft(), QRegion(around));
    EXPECT_GT(qAlpha(part.pixel(shown)), 200);
}

TEST_F(BlockGutterViewTest, EditsRepaintTheRowsThatMoveAndTheCaretsRows)
{
    PaintedArea painted(*gutter);
    const auto repainted = [&] { return painted.repainted(); };
    const auto shownRow = [&](int index) {
        const TextRun& run = row(id(index));
        // The row across the gutter's whole width, where its controls are.
        const QRectF line = editor->rect(run.start, run.length);
        const double top = line.top() - editor->textView()->verticalScrollBar()->value();
        return QRectF(0, top, gutter->width(), line.height()).toAlignedRect().intersected(gutter->rect());
    };
    caretAt(row(id(0)).start + 2);
    repainted();

    // A new line in the first paragraph moves every row below it.
    QTest::keyClick(editor->textView(), Qt::Key_Return);
    const QRegion afterReturn = repainted();
    for (int index = 1; index < 6; ++index)
        EXPECT_TRUE(afterReturn.contains(shownRow(index))) << index;

    // The caret moving to another block repaints the rows of both.
    const QRect before = shownRow(1);
    caretAt(row(id(3)).start + 1);
    const QRegion afterMove = repainted();
    EXPECT_TRUE(afterMove.contains(before));
    EXPECT_TRUE(afterMove.contains(shownRow(3)));
}

} // namespace
} // namespace quorrin
