#include "Editor/DragPreview.h"
#include "Editor/EditorAnimations.h"
#include "Editor/GutterDragTarget.h"

#include "EditorTestSupport.h"

#include <QApplication>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QUndoStack>

namespace quorrin {
namespace {

using namespace quorrin::testing;

int placeholders(const Note& note, const std::vector<QUuid>& known)
{
    return int(std::count_if(note.blocks.begin(), note.blocks.end(), [&](const Block& block) {
        return std::find(known.begin(), known.end(), block.id) == known.end();
    }));
}

std::vector<QUuid> ids(const std::vector<Block>& blocks)
{
    std::vector<QUuid> result;
    for (const Block& block : blocks)
        result.push_back(block.id);
    return result;
}

TEST(DragPreviewRules, PlaceholderGoesBeforeOrAfterTheFirstBlockWithTheTarget)
{
    const Block a = makeBlock(BlockKind::Paragraph, QStringLiteral("a"));
    const Block b = makeBlock(BlockKind::Paragraph, QStringLiteral("b"));
    const Note note = makeNote({a, b});
    const Block line = dragpreview::placeholder(fixedNow());
    EXPECT_EQ(ids(dragpreview::previewNote(note, line, b.id, false)->blocks), (std::vector{a.id, line.id, b.id}));
    EXPECT_EQ(ids(dragpreview::previewNote(note, line, b.id, true)->blocks), (std::vector{a.id, b.id, line.id}));
    EXPECT_EQ(ids(dragpreview::previewNote(note, line, a.id, false)->blocks), (std::vector{line.id, a.id, b.id}));
    EXPECT_FALSE(dragpreview::previewNote(note, line, QUuid::createUuid(), false));
    EXPECT_EQ(line.kind, BlockKind::Paragraph);
    EXPECT_TRUE(line.text.attributed().isEmpty());
}

TEST(DragPreviewRules, SelectionFollowsItsBlockOrFallsBackToItsOffset)
{
    const QUuid a = QUuid::createUuid();
    const QUuid b = QUuid::createUuid();
    const std::vector<TextRun> before = {{a, 0, 3}, {b, 4, 5}};
    const TextSelection selection = dragpreview::remember(before, 5, 9); // inside b, to its end
    const std::vector<TextRun> moved = {{b, 0, 5}, {a, 6, 3}};
    EXPECT_EQ(dragpreview::restore(selection, moved, 10), (std::pair{1, 5}));
    const std::vector<TextRun> gone = {{a, 0, 3}};
    EXPECT_EQ(dragpreview::restore(selection, gone, 20), (std::pair{5, 9}));
    EXPECT_FALSE(dragpreview::restore(selection, gone, 4)); // the text became shorter
}

class DragPreviewTest : public EditorFixture {
protected:
    Block a = makeBlock(BlockKind::Paragraph, QStringLiteral("甲"));
    Block b = makeBlock(BlockKind::Todo, QStringLiteral("乙"));
    Block c = makeBlock(BlockKind::Paragraph, QStringLiteral("丙"));

    void openThree()
    {
        b.todo->notes = RichText(QStringLiteral("备注"), TextFont::system(14));
        b.todo->notesExpanded = true;
        open({a, b, c});
        editor->show();
    }
    std::vector<QUuid> known() const { return {a.id, b.id, c.id}; }
};

TEST_F(DragPreviewTest, RowsAreCapturedOnceAndThePreviewShowsOnePlaceholder)
{
    openThree();
    const Note before = stored();
    editor->beginDragPreview(a.id);
    ASSERT_EQ(editor->dragRows().size(), 3u); // remarks rows are not rows
    EXPECT_EQ(editor->dragRows()[1].id, b.id);
    EXPECT_GE(editor->dragRows()[1].rect.height(), 20);
    const auto rows = editor->dragRows();
    const QString shown = text();

    editor->updateDragPreview(c.id, true);
    ASSERT_TRUE(editor->dragPreviewNote);
    EXPECT_EQ(placeholders(*editor->dragPreviewNote, known()), 1);
    EXPECT_EQ(editor->dragPreviewNote->blocks.back().id, editor->dragPlaceholderID());
    editor->updateDragPreview(b.id, false);
    EXPECT_EQ(placeholders(*editor->dragPreviewNote, known()), 1);
    EXPECT_EQ(editor->dragPreviewNote->blocks[1].id, editor->dragPlaceholderID());
    EXPECT_NE(text(), shown);
    EXPECT_EQ(editor->dragRows()[2].rect, rows[2].rect); // not measured again

    editor->updateDragPreview(a.id, true); // over the dragged block itself
    EXPECT_FALSE(editor->dragPreviewNote);
    EXPECT_FALSE(editor->dragPlaceholderID());
    EXPECT_EQ(text(), shown);
    EXPECT_TRUE(editor->isDragArmed());

    editor->endDragPreview();
    EXPECT_FALSE(editor->isDragArmed());
    EXPECT_TRUE(editor->dragRows().empty());
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(store->immediateSaves, 0);
}

TEST_F(DragPreviewTest, APrioritySortedNoteHasNoRowsAndNoPreview)
{
    openThree();
    Note sorted = stored();
    sorted.prioritySorted = true;
    store->notes = {sorted};
    editor->render(true);
    editor->beginDragPreview(a.id);
    EXPECT_TRUE(editor->dragRows().empty());
    editor->updateDragPreview(c.id, false);
    EXPECT_FALSE(editor->dragPreviewNote);
}

TEST_F(DragPreviewTest, AChangeDuringThePreviewGoesToTheStoredNoteAndThePreviewFollows)
{
    openThree();
    editor->beginDragPreview(a.id);
    editor->updateDragPreview(c.id, false);
    ASSERT_TRUE(editor->dragPreviewNote);

    EXPECT_EQ(editor->change(QStringLiteral("设置优先级"), [&](Note& note) { note.blocks[1].todo->priority = 1; }),
              ChangeResult::Applied);
    const Note after = stored();
    ASSERT_EQ(after.blocks.size(), 3u); // no placeholder saved
    EXPECT_EQ(after.blocks[1].todo->priority, 1);
    ASSERT_TRUE(editor->dragPreviewNote);
    EXPECT_EQ(placeholders(*editor->dragPreviewNote, known()), 1);
    EXPECT_EQ(editor->dragPreviewNote->blocks[1].todo->priority, 1);

    // Undo during the drag also acts on the stored note.
    editor->history()->undo();
    EXPECT_EQ(stored().blocks.size(), 3u);
    EXPECT_EQ(stored().blocks[1].todo->priority, 4);

    // The drop lands on the stored note as it is now.
    editor->endDragPreview();
    EXPECT_EQ(editor->moveDisplayedBlock(a.id, c.id, false), ChangeResult::Applied);
    EXPECT_EQ(ids(stored().blocks), (std::vector{b.id, a.id, c.id}));
}

TEST_F(DragPreviewTest, ACancelledDragRestoresTheNoteTheTextAndTheSelection)
{
    openThree();
    QWidget window;
    editor->setParent(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    editor->textView()->setFocus();
    editor->flush();
    const Note before = stored();
    const QString shown = text();
    const auto ranges = editor->ranges();
    select(ranges[2].start + 1, ranges[3].start + 1); // from b's remarks into c

    editor->beginDragVisual();
    EXPECT_FALSE(editor->textView()->hasFocus());
    editor->beginDragPreview(b.id);
    editor->updateDragPreview(a.id, false);
    editor->updateDragPreview(c.id, true);
    editor->cancelBlockDrag();

    EXPECT_EQ(stored(), before);
    EXPECT_EQ(text(), shown);
    EXPECT_EQ(editor->ranges(), ranges);
    EXPECT_EQ(store->immediateSaves, 0);
    EXPECT_EQ(editor->history()->count(), 0);
    EXPECT_TRUE(editor->textView()->hasFocus());
    EXPECT_EQ(editor->textView()->textCursor().anchor(), ranges[2].start + 1);
    EXPECT_EQ(editor->textView()->textCursor().position(), ranges[3].start + 1);
    editor->setParent(nullptr);
}

TEST_F(DragPreviewTest, MovingToFirstAndLastPlacesKeepArchivedBlocksWhereTheyAre)
{
    Block archived = makeBlock(BlockKind::Todo, QStringLiteral("旧"));
    archived.todo->archivedAt = fixedNow();
    open({a, archived, b, c});

    EXPECT_EQ(editor->moveDisplayedBlock(c.id, a.id, false), ChangeResult::Applied);
    EXPECT_EQ(ids(stored().blocks), (std::vector{c.id, a.id, archived.id, b.id}));
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("拖动排序"));
    EXPECT_EQ(editor->moveDisplayedBlock(c.id, b.id, true), ChangeResult::Applied);
    EXPECT_EQ(ids(stored().blocks), (std::vector{a.id, archived.id, b.id, c.id}));
    EXPECT_EQ(editor->moveDisplayedBlock(c.id, archived.id, true), ChangeResult::Unchanged);
    EXPECT_EQ(editor->moveDisplayedBlock(c.id, c.id, true), ChangeResult::Unchanged);
    editor->history()->undo();
    EXPECT_EQ(ids(stored().blocks), (std::vector{c.id, a.id, archived.id, b.id}));
    EXPECT_EQ(text(), QStringLiteral("丙\n甲\n乙\n"));
}

TEST_F(DragPreviewTest, MovingInAPrioritySortedNoteKeepsTheOrderSeenAndTheArchivedSlots)
{
    Block archived = makeBlock(BlockKind::Todo, QStringLiteral("旧"));
    archived.todo->archivedAt = fixedNow();
    Block low = makeBlock(BlockKind::Todo, QStringLiteral("低"));
    low.todo->priority = 4;
    Block urgent = makeBlock(BlockKind::Todo, QStringLiteral("急"));
    urgent.todo->priority = 1;
    Note note = makeNote({archived, low, urgent, c});
    note.prioritySorted = true;
    store->notes = {note};
    noteID = note.id;
    editor = std::make_unique<BlockEditor>(store, noteID, nullptr, fixedNow);

    EXPECT_EQ(editor->moveDisplayedBlock(c.id, urgent.id, false), ChangeResult::Applied); // to the top
    EXPECT_EQ(ids(stored().blocks), (std::vector{archived.id, c.id, urgent.id, low.id}));
    EXPECT_FALSE(stored().prioritySorted);
    EXPECT_EQ(editor->moveDisplayedBlock(c.id, low.id, true), ChangeResult::Applied); // to the bottom
    EXPECT_EQ(ids(stored().displayBlocks()), (std::vector{urgent.id, low.id, c.id}));
    const Note after = stored();
    ASSERT_EQ(after.blocks.size(), 4u);
    EXPECT_EQ(std::count_if(after.blocks.begin(), after.blocks.end(), [](const Block& x) { return x.isArchived(); }), 1);
}

// A gutter that records what the text view hands it.
class RecordingGutter final : public QWidget, public GutterDragTarget {
public:
    using QWidget::QWidget;
    std::vector<QPointF> updates;
    std::vector<QPointF> drops;
    int cleared = 0;
    bool carriesBlock(const QMimeData& data) const override { return data.hasFormat(QStringLiteral("test/block")); }
    Qt::DropAction draggingUpdated(const QMimeData&, const QPointF& point) override
    {
        updates.push_back(point);
        return Qt::MoveAction;
    }
    bool performDragOperation(const QMimeData&, const QPointF& point) override
    {
        drops.push_back(point);
        return true;
    }
    void clearDropTarget() override { ++cleared; }
    std::optional<Qt::CursorShape> cursor(const QPointF& point) const override
    {
        return point.x() < 20 ? std::optional(Qt::OpenHandCursor) : std::nullopt;
    }
};

TEST_F(DragPreviewTest, BlockDragsGoToTheGutterFilesAndTextDoNot)
{
    openThree();
    auto* gutter = new RecordingGutter(editor.get());
    editor->gutter = gutter;
    editor->resize(320, 400);
    gutter->setGeometry(editor->textView()->geometry());
    editor->show();
    QWidget* viewport = editor->textView()->viewport();

    QMimeData block;
    block.setData(QStringLiteral("test/block"), "x");
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.pdf"))});
    QMimeData plain;
    plain.setText(QStringLiteral("文字"));
    EXPECT_EQ(editor->textView()->dragKind(&block), BlockTextView::DragKind::Block);
    EXPECT_EQ(editor->textView()->dragKind(&files), BlockTextView::DragKind::File);
    EXPECT_EQ(editor->textView()->dragKind(&plain), BlockTextView::DragKind::Other);

    const QPoint at(30, 12);
    QDragEnterEvent enter(at, Qt::MoveAction, &block, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, Qt::MoveAction, &block, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    EXPECT_TRUE(move.isAccepted());
    ASSERT_EQ(gutter->updates.size(), 2u);
    EXPECT_EQ(gutter->updates.back(), gutter->mapFromGlobal(viewport->mapToGlobal(QPointF(at))));
    QDropEvent drop(QPointF(at), Qt::MoveAction, &block, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_EQ(gutter->drops.size(), 1u);

    QDragMoveEvent fileMove(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &fileMove);
    EXPECT_EQ(gutter->updates.size(), 3u); // the drop's own last look only

    // Leaving the text: no target, no placeholder, the drag still armed.
    editor->beginDragPreview(a.id);
    editor->updateDragPreview(c.id, false);
    editor->textView()->dragLeft();
    EXPECT_EQ(gutter->cleared, 1);
    EXPECT_FALSE(editor->dragPreviewNote);
    EXPECT_TRUE(editor->isDragArmed());
    editor->updateDragPreview(c.id, false);
    EXPECT_TRUE(editor->dragPreviewNote);
    editor->endDragPreview();
}

TEST_F(DragPreviewTest, StrikethroughFollowsTheFirstCharacterAndIsOneUndoStep)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("abcd"))});
    const auto struck = [&](int at) {
        return stored().blocks[0].text.attributed().attributesAt(at).strikethroughStyle != 0;
    };
    caretAt(1);
    editor->textView()->toggleStrikethrough();
    EXPECT_EQ(editor->history()->count(), 0); // nothing selected: nothing happens
    select(1, 3);
    editor->textView()->toggleStrikethrough();
    EXPECT_TRUE(struck(1));
    EXPECT_TRUE(struck(2));
    EXPECT_FALSE(struck(3));
    select(1, 4); // first character struck: the strike goes from all of it
    editor->textView()->toggleStrikethrough();
    EXPECT_FALSE(struck(1));
    EXPECT_FALSE(struck(3));
    editor->history()->undo();
    EXPECT_TRUE(struck(1));
    EXPECT_FALSE(struck(3));
}

} // namespace
} // namespace quorrin

namespace quorrin {
namespace {

using namespace quorrin::testing;

TEST_F(EditorFixture, ALostReleaseEndsTheDragAsACancel)
{
    const Block a = makeBlock(BlockKind::Paragraph, QStringLiteral("a"));
    const Block b = makeBlock(BlockKind::Paragraph, QStringLiteral("b"));
    open({a, b});
    editor->show();
    const QString shown = text();
    const auto armAndPreview = [&] {
        editor->beginDragPreview(a.id);
        editor->updateDragPreview(b.id, true);
        ASSERT_TRUE(editor->dragPreviewNote);
    };
    armAndPreview();
    // A press can only come once the drag's own release went missing.
    QTest::mousePress(editor->textView()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 10));
    EXPECT_FALSE(editor->isDragArmed());
    EXPECT_EQ(text(), shown);

    armAndPreview();
    editor->hide();
    EXPECT_FALSE(editor->isDragArmed());
    EXPECT_FALSE(editor->dragPreviewNote);
    EXPECT_EQ(text(), shown);
}

} // namespace
} // namespace quorrin
