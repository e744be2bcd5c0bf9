#include "Editor/FindReplace.h"
#include "Editor/FindReplaceBar.h"

#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <QUndoStack>
#include <iostream>

namespace quorrin {
namespace {

using namespace quorrin::testing;

TEST(FindReplace, FindsWithAndWithoutCaseNeverAcrossALineBreak)
{
    const QString text = QStringLiteral("Apple pie\napple\nAPPLE\nap\nple");
    const auto all = findreplace::findAll(text, QStringLiteral("apple"), false);
    EXPECT_EQ(all, (std::vector<TextMatch>{{0, 5}, {10, 5}, {16, 5}}));
    EXPECT_EQ(findreplace::findAll(text, QStringLiteral("apple"), true), (std::vector<TextMatch>{{10, 5}}));
    EXPECT_TRUE(findreplace::findAll(text, QString(), false).empty());
    EXPECT_TRUE(findreplace::findAll(text, QStringLiteral("p\nple"), false).empty());
    // Overlapping occurrences count once, left to right.
    EXPECT_EQ(findreplace::findAll(QStringLiteral("aaaa"), QStringLiteral("aa"), true),
              (std::vector<TextMatch>{{0, 2}, {2, 2}}));
}

TEST(FindReplace, ComparesLikeTheSearchAcrossNotes)
{
    // Full case folding and canonical equivalence, with ranges of the shown text.
    const QString text = QStringLiteral("Die STRASSE, die Stra\u00DFe und Cafe\u0301.");
    EXPECT_EQ(findreplace::findAll(text, QStringLiteral("straße"), false),
              (std::vector<TextMatch>{{4, 7}, {17, 6}}));
    EXPECT_EQ(findreplace::findAll(text, QStringLiteral("café"), false), (std::vector<TextMatch>{{28, 5}}));
    EXPECT_EQ(findreplace::findAll(text, QStringLiteral("Straße"), true), (std::vector<TextMatch>{{17, 6}}));
}

TEST(FindReplace, StepsForwardAndBackwardWrappingAround)
{
    const std::vector<TextMatch> matches{{2, 1}, {5, 1}, {9, 1}};
    struct Case {
        int from;
        bool forward;
        std::size_t expected;
    };
    for (const Case& c : {Case{0, true, 0}, Case{2, true, 0}, Case{3, true, 1}, Case{10, true, 0},
                          Case{9, false, 1}, Case{2, false, 2}, Case{100, false, 2}})
        EXPECT_EQ(findreplace::nextIndex(matches, c.from, c.forward), c.expected) << c.from << c.forward;
    EXPECT_FALSE(findreplace::nextIndex({}, 0, true));
    EXPECT_EQ(findreplace::counterText(QStringLiteral("x"), 3, 1), QStringLiteral("2 / 3"));
    EXPECT_EQ(findreplace::counterText(QStringLiteral("x"), 0, std::nullopt), QStringLiteral("无结果"));
    EXPECT_EQ(findreplace::counterText(QString(), 0, std::nullopt), QString());
}

class FindReplaceBarTest : public EditorFixture {
protected:
    FindReplaceBar* bar = nullptr;

    void openNote()
    {
        Block todo = makeBlock(BlockKind::Todo, QStringLiteral("buy Milk"));
        todo.todo->notes = RichText(QStringLiteral("milk from the farm"), TextFont::system(12));
        todo.todo->notesExpanded = true;
        open({makeBlock(BlockKind::H1, QStringLiteral("Milk list")), todo,
              makeBlock(BlockKind::Paragraph, QStringLiteral("no milk today"))});
        editor->showFindBar();
        bar = editor->findBar();
    }
    void search(const QString& needle)
    {
        bar->findField()->clear();
        QTest::keyClicks(bar->findField(), needle);
    }
    QString selected() const { return editor->textView()->textCursor().selectedText(); }
};

TEST_F(FindReplaceBarTest, SearchesAsYouTypeAcrossBlocksAndRemarks)
{
    openNote();
    ASSERT_FALSE(bar->isHidden());
    search(QStringLiteral("milk"));
    EXPECT_EQ(bar->matches().size(), 4u); // heading, todo, its remarks, last paragraph
    EXPECT_EQ(selected(), QStringLiteral("Milk"));
    EXPECT_EQ(bar->counter(), QStringLiteral("1 / 4"));
    bar->findNext();
    bar->findNext();
    EXPECT_EQ(bar->counter(), QStringLiteral("3 / 4"));
    EXPECT_EQ(selected(), QStringLiteral("milk")); // in the remarks
    bar->findPrevious();
    EXPECT_EQ(bar->counter(), QStringLiteral("2 / 4"));

    bar->matchCaseBox()->setChecked(true);
    EXPECT_EQ(bar->matches().size(), 2u);
    search(QStringLiteral("nothing"));
    EXPECT_EQ(bar->counter(), QStringLiteral("无结果"));

    QTest::keyClick(bar->findField(), Qt::Key_Escape);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_TRUE(editor->textView()->extraSelections().isEmpty());
}

TEST_F(FindReplaceBarTest, ReplaceAllIsOneUndoStepThatRestoresExactly)
{
    openNote();
    const Note before = stored();
    const int steps = editor->history()->count();
    search(QStringLiteral("milk"));
    bar->replaceField()->setText(QStringLiteral("tea"));
    bar->replaceAll();
    const Note after = stored();
    EXPECT_EQ(after.blocks[0].text.attributed().string(), QStringLiteral("tea list"));
    EXPECT_EQ(after.blocks[1].text.attributed().string(), QStringLiteral("buy tea"));
    EXPECT_EQ(after.blocks[1].todo->notes.attributed().string(), QStringLiteral("tea from the farm"));
    EXPECT_EQ(after.blocks[2].text.attributed().string(), QStringLiteral("no tea today"));
    EXPECT_EQ(editor->history()->count(), steps + 1);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("全部替换"));
    EXPECT_TRUE(bar->matches().empty());

    // The first write-back also stores the laid-out paragraph styles; from
    // then on undo and redo give back exactly what was there.
    editor->history()->undo();
    const Note restored = stored();
    ASSERT_EQ(restored.blocks.size(), before.blocks.size());
    for (std::size_t i = 0; i < before.blocks.size(); ++i) {
        EXPECT_EQ(restored.blocks[i].text.attributed().string(), before.blocks[i].text.attributed().string()) << i;
        // One paragraph style per block: no piece of a line keeps another's.
        const AttributedString text = restored.blocks[i].text.attributed();
        const auto& runs = text.runs();
        for (const auto& run : runs)
            EXPECT_EQ(run.attributes.paragraphStyle, runs.front().attributes.paragraphStyle) << i;
    }
    EXPECT_EQ(restored.blocks[1].todo->notes.attributed().string(), before.blocks[1].todo->notes.attributed().string());
    editor->history()->redo();
    EXPECT_EQ(stored().blocks, after.blocks);
    editor->history()->undo();
    EXPECT_EQ(stored().blocks, restored.blocks);
}

TEST_F(FindReplaceBarTest, ReplaceGoesToAMatchFirstThenReplacesOneAtATime)
{
    openNote();
    search(QStringLiteral("milk"));
    bar->matchCaseBox()->setChecked(true);
    bar->replaceField()->setText(QStringLiteral("MILK"));
    editor->textView()->moveCursor(QTextCursor::Start);
    bar->replaceCurrent(); // selects the first match only
    EXPECT_EQ(stored().blocks[1].text.attributed().string(), QStringLiteral("buy Milk"));
    bar->replaceCurrent();
    EXPECT_EQ(stored().blocks[1].todo->notes.attributed().string(), QStringLiteral("MILK from the farm"));
    EXPECT_EQ(stored().blocks[2].text.attributed().string(), QStringLiteral("no milk today"));
    EXPECT_EQ(selected(), QStringLiteral("milk")); // on to the next match
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("替换"));
}

TEST_F(FindReplaceBarTest, CtrlFInTheTextOpensTheBarWithTheSelection)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("alpha beta"))});
    select(6, 10);
    QTest::keyClick(editor->textView(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(editor->findBar(), nullptr);
    EXPECT_FALSE(editor->findBar()->isHidden());
    EXPECT_EQ(editor->findBar()->findField()->text(), QStringLiteral("beta"));
    EXPECT_EQ(editor->findBar()->matches().size(), 1u);
}

} // namespace
} // namespace quorrin
