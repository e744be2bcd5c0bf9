#include "Editor/TaskShelves.h"

#include "EditorTestSupport.h"

#include <QTest>
#include <QTextBlock>

namespace quorrin {
namespace {

using namespace quorrin::testing;

TEST(TaskShelfGeometry, HeightsAndGapsFollowFileCountAndDropTargets)
{
    struct Case {
        int files;
        bool dropTargets;
        double height;
        double gap;
    };
    for (const Case& c : std::vector<Case>{
             {0, false, 0, 0}, {0, true, 42, 50}, {1, false, 38, 46}, {1, true, 56, 64},
             {3, false, 98, 106}, {4, false, 126, 134}, {4, true, 126, 134}, {9, false, 126, 134}}) {
        EXPECT_EQ(taskshelf::viewHeight(c.files, c.dropTargets), c.height) << c.files << c.dropTargets;
        EXPECT_EQ(taskshelf::gap(c.files, c.dropTargets), c.gap) << c.files << c.dropTargets;
    }
    EXPECT_EQ(taskshelf::frame(QRectF(20, 10, 100, 20), 300, 38), QRectF(44, 34, 236, 38));
    EXPECT_EQ(taskshelf::frame(QRectF(20, 10, 100, 20), 50, 38).width(), 40);
}

class FakeShelfView final : public TaskShelfView {
public:
    using TaskShelfView::TaskShelfView;
    bool showsDropTarget() const override { return shows; }
    void setShowsDropTarget(bool value) override { shows = value; }
    void reload() override { ++reloads; }
    bool shows = false;
    int reloads = 0;
};

class FakeShelfSource final : public TaskShelfSource {
public:
    std::map<QUuid, int> files;
    int fileCount(const QUuid& id) const override
    {
        const auto found = files.find(id);
        return found == files.end() ? 0 : found->second;
    }
    // Making a shelf may save the todo's file links, and change its count.
    std::map<QUuid, int> filesOnceMade;
    TaskShelfView* makeShelfView(const QUuid& id, QWidget* parent) override
    {
        if (const auto found = filesOnceMade.find(id); found != filesOnceMade.end())
            files[id] = found->second;
        return new FakeShelfView(parent);
    }
};

class TaskShelfTest : public EditorFixture {
protected:
    FakeShelfSource source;
    FakeShelfView* shelf(const QUuid& id) const
    {
        const auto& views = editor->taskShelfViews();
        const auto found = views.find(id);
        return found == views.end() ? nullptr : static_cast<FakeShelfView*>(found->second.data());
    }
    double spacingAt(int position) const
    {
        return editor->document()->findBlock(position).blockFormat().property(textdoc::ParagraphSpacing).toDouble();
    }
};

TEST_F(TaskShelfTest, ShelvesFollowFilesAndDropTargets)
{
    Block first = makeBlock(BlockKind::Todo, QStringLiteral("带文件"));
    Block second = makeBlock(BlockKind::Todo, QStringLiteral("无文件"));
    Block text = makeBlock(BlockKind::Paragraph, QStringLiteral("段落"));
    open({first, second, text});
    source.files[first.id] = 1;
    editor->fileShelfModel = &source;
    editor->syncFileShelves(false);

    ASSERT_NE(shelf(first.id), nullptr);
    EXPECT_EQ(shelf(second.id), nullptr);
    const TextRun run = editor->ranges().front();
    const QRectF expected = taskshelf::frame(editor->rect(run.start, run.length),
                                             editor->textView()->viewport()->width(), 38);
    EXPECT_EQ(QRectF(shelf(first.id)->geometry()), expected.toRect());
    EXPECT_EQ(spacingAt(run.start), 12 + 46);
    EXPECT_EQ(spacingAt(editor->ranges()[1].start), 12);

    // During a file drag every todo shows a target; afterwards the empty ones go.
    editor->showsTaskDropTargets = true;
    editor->syncFileShelves(true);
    ASSERT_NE(shelf(second.id), nullptr);
    EXPECT_TRUE(shelf(second.id)->shows);
    EXPECT_EQ(shelf(second.id)->height(), 42);
    EXPECT_EQ(shelf(first.id)->height(), 56);
    EXPECT_EQ(spacingAt(editor->ranges()[1].start), 12 + 50);
    EXPECT_EQ(spacingAt(editor->ranges()[2].start), 6);
    editor->showsTaskDropTargets = false;
    editor->syncFileShelves(false);
    EXPECT_EQ(shelf(second.id), nullptr);
    ASSERT_NE(shelf(first.id), nullptr);
    EXPECT_FALSE(shelf(first.id)->shows);
    EXPECT_EQ(shelf(first.id)->reloads, 2); // drag on (asked), drag off (target changed)

    // The last file taken off: the shelf goes, and its gap with it.
    source.files.erase(first.id);
    editor->syncFileShelves(false);
    EXPECT_EQ(shelf(first.id), nullptr);
    EXPECT_EQ(spacingAt(run.start), 12);
}

TEST_F(TaskShelfTest, TypingKeepsShelfGapsAndFollowsChangedFileCounts)
{
    Block first = makeBlock(BlockKind::Todo, QStringLiteral("一"));
    Block second = makeBlock(BlockKind::Todo, QStringLiteral("二"));
    open({first, second});
    source.files[first.id] = 1;
    editor->fileShelfModel = &source;
    editor->syncFileShelves(false);
    QTest::keyClicks(editor->textView(), QStringLiteral("x")); // into the first todo
    EXPECT_EQ(spacingAt(editor->ranges()[0].start), 12 + 46);
    EXPECT_EQ(spacingAt(editor->ranges()[1].start), 12);

    // The second todo gains a file; a keystroke in the first one writes back,
    // and the untouched second todo gets the gap of what its shelf, made
    // then, counts.
    source.files[second.id] = 1;
    source.filesOnceMade[second.id] = 4;
    QTest::keyClicks(editor->textView(), QStringLiteral("y"));
    EXPECT_EQ(spacingAt(editor->ranges()[0].start), 12 + 46);
    EXPECT_EQ(spacingAt(editor->ranges()[1].start), 12 + 134);
    EXPECT_NE(shelf(second.id), nullptr);
    EXPECT_EQ(stored().blocks[0].text.attributed().string(), QStringLiteral("xy一"));
}

TEST_F(TaskShelfTest, ShelfSitsBelowShownRemarksAndCountsForWritableLines)
{
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("任务"));
    todo.todo->notesExpanded = true;
    todo.todo->notes = RichText(QStringLiteral("备注"), TextFont::system(14));
    open({todo});
    source.files[todo.id] = 4;
    editor->fileShelfModel = &source;
    editor->syncFileShelves(false);

    ASSERT_EQ(editor->ranges().size(), 2u);
    const TextRun remarks = editor->ranges()[1];
    ASSERT_TRUE(remarks.isRemarks);
    FakeShelfView* view = shelf(todo.id);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->geometry().top(), int(editor->rect(remarks.start, remarks.length).bottom() + 4));
    EXPECT_EQ(view->height(), 126);
    EXPECT_EQ(spacingAt(editor->ranges()[0].start), 4);
    EXPECT_EQ(spacingAt(remarks.start), 12 + 134);

    // A click inside the shelf's reach is no click below the text.
    EXPECT_FALSE(editor->prepareWritableLine(QPointF(50, view->geometry().bottom() + 3)));
    EXPECT_EQ(stored().blocks.size(), 1u);

    // A shelf error reaches the store; a gone model leaves shelves as they are.
    view->onError(AppError(QStringLiteral("无法读取文件")));
    EXPECT_EQ(store->reported, std::vector<QString>{QStringLiteral("无法读取文件")});
    editor->fileShelfModel = nullptr;
    editor->syncFileShelves(true);
    EXPECT_EQ(shelf(todo.id), view);
}

} // namespace
} // namespace quorrin
