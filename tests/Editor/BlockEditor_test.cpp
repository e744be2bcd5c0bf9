#include "Editor/BlockEditor.h"

#include "Editor/BlockTextView.h"
#include "Editor/EditorDocument.h"
#include "Editor/TextDocumentConversion.h"
#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QInputMethodEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace quorrin {
namespace {

using namespace quorrin::testing;

class BlockEditorTest : public EditorFixture {
protected:
    void caretAt(int position)
    {
        QTextCursor cursor(editor->document());
        cursor.setPosition(position);
        editor->textView()->setTextCursor(cursor);
    }
    void type(const QString& keys) { QTest::keyClicks(editor->textView(), keys); }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(editor->textView(), k, modifiers);
    }
    std::vector<QString> blockTexts() const
    {
        std::vector<QString> texts;
        for (const Block& block : stored().blocks)
            texts.push_back(block.text.attributed().string());
        return texts;
    }
    void compose(const QString& preedit)
    {
        QInputMethodEvent event(preedit, {});
        QCoreApplication::sendEvent(editor->textView(), &event);
    }
    void commit(const QString& text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(editor->textView(), &event);
    }
};

TEST_F(BlockEditorTest, TypingWritesBackWithoutSavingAtOnce)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("ab"))});
    caretAt(2);
    type(QStringLiteral("c"));
    commit(QStringLiteral("中文"));
    EXPECT_EQ(blockTexts(), std::vector<QString>{QStringLiteral("abc中文")});
    EXPECT_EQ(store->immediateSaves, 0);
    EXPECT_EQ(store->notifications, 0);
    EXPECT_EQ(editor->ranges().front().length, 6);
}

TEST_F(BlockEditorTest, ReturnInAHeadingOrTodo)
{
    const Block heading = makeBlock(BlockKind::H1, QStringLiteral("HeadTail"));
    const Block todo = makeBlock(BlockKind::Todo, QStringLiteral("todo"));
    open({heading, todo});
    caretAt(4);
    key(Qt::Key_Return);
    caretAt(int(text().indexOf(QStringLiteral("todo"))) + 4);
    key(Qt::Key_Return);
    type(QStringLiteral("next"));

    const Note note = stored();
    ASSERT_EQ(note.blocks.size(), 4u);
    EXPECT_EQ(note.blocks[0].id, heading.id);
    EXPECT_EQ(note.blocks[0].kind, BlockKind::H1);
    EXPECT_EQ(note.blocks[1].kind, BlockKind::Paragraph);
    EXPECT_EQ(note.blocks[1].text.attributed().string(), QStringLiteral("Tail"));
    EXPECT_EQ(note.blocks[2].id, todo.id);
    EXPECT_EQ(note.blocks[3].kind, BlockKind::Todo);
    EXPECT_EQ(note.blocks[3].todo, TodoMetadata());
    EXPECT_EQ(note.blocks[3].text.attributed().string(), QStringLiteral("next"));
}

// Every stored character of the block is in the 14-point system font.
::testing::AssertionResult inBodyFont(const Block& block)
{
    const AttributedString text = block.text.attributed();
    if (text.isEmpty())
        return ::testing::AssertionFailure() << "no text";
    for (const AttributedString::Run& run : text.runs()) {
        if (run.attributes.font != TextFont::system(14))
            return ::testing::AssertionFailure() << "\"" << text.string().mid(run.start, run.length).toStdString()
                                                 << "\" without the body font: " << block.text.rtf().toStdString();
    }
    return ::testing::AssertionSuccess();
}

TEST_F(BlockEditorTest, ReturnAfterConvertingTheLastLineMakesOneTodoInTheBodyFont)
{
    open({makeBlock(BlockKind::Paragraph, QString())});
    caretAt(1); // after the empty line's placeholder, where a click puts it
    type(QStringLiteral("Hello"));
    key(Qt::Key_Return);
    type(QStringLiteral("buy"));
    key(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    // The first line lost its placeholder in the re-render; the caret stays at
    // the end of "buy", not in the empty line after the final line break.
    EXPECT_EQ(editor->textView()->textCursor().position(), int(text().indexOf(QStringLiteral("buy"))) + 3);
    key(Qt::Key_Return);
    type(QStringLiteral("second"));

    const Note note = stored();
    ASSERT_EQ(blockTexts(), (std::vector<QString>{QStringLiteral("Hello"), QStringLiteral("buy"), QStringLiteral("second")}));
    EXPECT_EQ(note.blocks[1].kind, BlockKind::Todo);
    EXPECT_EQ(note.blocks[2].kind, BlockKind::Todo);
    for (const Block& block : note.blocks)
        EXPECT_TRUE(inBodyFont(block));
}

TEST_F(BlockEditorTest, EveryReturnMakesExactlyOneLineInTheFontOfTheLineItSplits)
{
    // Qt's own Return turns a second Return on an empty line into "reset the
    // formats" and inserts nothing.
    const Block first = makeBlock(BlockKind::Paragraph, QStringLiteral("one"));
    open({first, makeBlock(BlockKind::Paragraph, QStringLiteral("two"))});
    caretAt(3);
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    type(QStringLiteral("x"));
    ASSERT_EQ(blockTexts(), (std::vector<QString>{QStringLiteral("one"), QString(), QStringLiteral("x"),
                                                  QStringLiteral("two")}));
    EXPECT_TRUE(inBodyFont(stored().blocks[2]));
    EXPECT_EQ(text(), QStringLiteral("one\n\nx\ntwo\n"));
}

TEST_F(BlockEditorTest, ReturnAtTheEndOfATodoLeavesItsShownRemarksUnderIt)
{
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("t1"));
    todo.todo->notes = RichText(QStringLiteral("r"), TextFont::system(12));
    todo.todo->notesExpanded = true;
    open({todo, makeBlock(BlockKind::Paragraph, QStringLiteral("p"))});
    ASSERT_EQ(text(), QStringLiteral("t1\nr\np\n"));
    caretAt(2);
    key(Qt::Key_Return);
    type(QStringLiteral("x"));
    EXPECT_EQ(text(), QStringLiteral("t1\nr\nx\np\n"));
    const Note note = stored();
    ASSERT_EQ(note.blocks.size(), 3u);
    EXPECT_EQ(note.blocks[0].todo->notes.attributed().string(), QStringLiteral("r"));
    EXPECT_EQ(note.blocks[1].text.attributed().string(), QStringLiteral("x"));
    EXPECT_EQ(note.blocks[1].kind, BlockKind::Todo);
    editor->undo();
    editor->undo();
    EXPECT_EQ(text(), QStringLiteral("t1\nr\np\n"));
}

TEST_F(BlockEditorTest, TypingAfterTheFinalLineBreakTakesThatLineBreaksAttributes)
{
    const Block todo = makeBlock(BlockKind::Todo, QStringLiteral("buy"));
    open({todo});
    caretAt(int(text().size())); // the empty line after the final line break
    // The view's typing format there may have been reset to Qt's bare default.
    editor->textView()->setCurrentCharFormat(QTextCharFormat());
    type(QStringLiteral("next"));
    commit(QStringLiteral("项"));

    const Note note = stored();
    ASSERT_EQ(blockTexts(), (std::vector<QString>{QStringLiteral("buy"), QStringLiteral("next项")}));
    EXPECT_EQ(note.blocks[1].kind, BlockKind::Todo);
    EXPECT_TRUE(inBodyFont(note.blocks[1]));
}

TEST_F(BlockEditorTest, TypedTextNeverStoresTheIndentsTheLayoutAddsForDisplay)
{
    for (const BlockKind kind : {BlockKind::Paragraph, BlockKind::Todo, BlockKind::Bullet}) {
        SCOPED_TRACE(blockKind::rawValue(kind).toStdString());
        open({makeBlock(kind, QString())});
        // The caret stays where the render put it, with the typing attributes
        // from the preferences, which carry none of the layout's marks.
        type(QStringLiteral("one"));
        const Block typed = stored().blocks.front();
        ASSERT_EQ(typed.text.attributed().string(), QStringLiteral("one"));
        const std::optional<ParagraphStyle> style = typed.text.attributed().attributesAt(0).paragraphStyle;
        ASSERT_TRUE(style);
        EXPECT_EQ(style->tailIndent, 0);
        EXPECT_EQ(style->headIndent, 0);
        EXPECT_EQ(style->firstLineHeadIndent, 0);
        EXPECT_FALSE(typed.text.rtf().contains("\\ri")) << typed.text.rtf().toStdString();

        // Showing it again and writing it back changes no byte.
        editor->render(true);
        editor->flush();
        EXPECT_EQ(stored().blocks.front().text.rtf(), typed.text.rtf());
    }
}

TEST_F(BlockEditorTest, MergingAndDeletingEverything)
{
    const Block first = makeBlock(BlockKind::Paragraph, QStringLiteral("one"));
    const Block second = makeBlock(BlockKind::Paragraph, QStringLiteral("two"));
    open({first, second});
    caretAt(4);
    key(Qt::Key_Backspace);
    ASSERT_EQ(stored().blocks.size(), 1u);
    EXPECT_EQ(stored().blocks[0].id, first.id);
    EXPECT_EQ(blockTexts(), std::vector<QString>{QStringLiteral("onetwo")});

    editor->textView()->selectAll();
    key(Qt::Key_Delete);
    ASSERT_EQ(stored().blocks.size(), 1u);
    EXPECT_NE(stored().blocks[0].id, first.id);
    EXPECT_EQ(stored().blocks[0].kind, BlockKind::Paragraph);
    EXPECT_EQ(blockTexts(), std::vector<QString>{QString()});
}

TEST_F(BlockEditorTest, RenderThenFlushLeavesStoredBytesUnchanged)
{
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("任务"));
    todo.todo->notesExpanded = true;
    todo.todo->notes = RichText(QStringLiteral("备注"), TextFont::system(12));
    open({makeBlock(BlockKind::H2, QStringLiteral("Heading")), makeBlock(BlockKind::Bullet, QStringLiteral("• x")), todo,
          makeBlock(BlockKind::Paragraph, QString())});
    editor->flush();
    const Note once = stored();
    editor->render(true);
    editor->flush();
    EXPECT_EQ(stored(), once);
    for (std::size_t i = 0; i < once.blocks.size(); ++i)
        EXPECT_EQ(stored().blocks[i].text.rtf(), once.blocks[i].text.rtf()) << i;
}

TEST_F(BlockEditorTest, ChangeIsOneUndoStepAndUndoRedoRestoreExactly)
{
    const Block block = makeBlock(BlockKind::Paragraph, QStringLiteral("p"));
    open({block});
    editor->flush(); // the note as the change finds it
    const Note before = stored();
    EXPECT_EQ(editor->convert(block.id, BlockKind::Todo), ChangeResult::Applied);
    const Note after = stored();
    EXPECT_EQ(after.blocks[0].kind, BlockKind::Todo);
    EXPECT_EQ(editor->history()->count(), 1);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("转换内容块"));

    editor->history()->undo();
    EXPECT_EQ(stored(), before);
    editor->history()->redo();
    EXPECT_EQ(stored(), after);
    EXPECT_EQ(text(), QStringLiteral("p\n"));
}

TEST_F(BlockEditorTest, UndoNeverMovesTheWindowOrFileLinks)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("p"))});
    editor->change(QStringLiteral("便笺颜色"), [](Note& note) { note.color = NoteColor::Blue; });
    Note moved = stored();
    moved.frame = WindowFrame{1, 2, 300, 300};
    moved.alwaysOnTop = true;
    store->update(moved, false, false);
    editor->history()->undo();
    EXPECT_EQ(stored().color, NoteColor::Cream);
    EXPECT_EQ(stored().frame, moved.frame);
    EXPECT_TRUE(stored().alwaysOnTop);
}

TEST_F(BlockEditorTest, ChangeReportsWhatHappened)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("p"))});
    editor->flush();
    const Note before = stored();
    EXPECT_EQ(editor->change(QStringLiteral("x"), [](Note&) {}), ChangeResult::Unchanged);
    EXPECT_EQ(editor->history()->count(), 0);
    EXPECT_EQ(store->immediateSaves, 0);

    store->failImmediateSaves = true;
    EXPECT_EQ(editor->change(QStringLiteral("便笺颜色"), [](Note& note) { note.color = NoteColor::Pink; }),
              ChangeResult::SaveFailed);
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(editor->history()->count(), 0);
    EXPECT_EQ(store->reported, std::vector<QString>{QStringLiteral("保存失败")});
}

TEST_F(BlockEditorTest, CompositionBlocksRenderFlushAndChange)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("ab"))});
    caretAt(2);
    compose(QStringLiteral("zhong"));
    ASSERT_TRUE(editor->hasMarkedText());
    EXPECT_EQ(editor->change(QStringLiteral("便笺颜色"), [](Note& note) { note.color = NoteColor::Pink; }),
              ChangeResult::Refused);
    EXPECT_FALSE(editor->replaceText(0, QStringLiteral("ab"), AttributedString(QStringLiteral("xy"))));
    EXPECT_TRUE(editor->hasMarkedText());
    Note elsewhere = stored();
    elsewhere.blocks[0].text = RichText(QStringLiteral("changed"), TextFont::system(14));
    store->update(elsewhere, false, false);
    editor->render(true);
    EXPECT_EQ(text(), QStringLiteral("ab\n"));
    commit(QStringLiteral("中"));
    EXPECT_FALSE(editor->hasMarkedText());
    EXPECT_EQ(blockTexts(), std::vector<QString>{QStringLiteral("ab中")});
}

TEST_F(BlockEditorTest, TextUndoRestoresDeletedBlockAndIsDroppedWhenStale)
{
    const Block todo = makeBlock(BlockKind::Todo, QStringLiteral("keep"));
    const Block other = makeBlock(BlockKind::Paragraph, QStringLiteral("x"));
    open({other, todo});
    // Delete the todo's whole line: the block leaves the note.
    QTextCursor cursor(editor->document());
    cursor.setPosition(2);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    editor->textView()->setTextCursor(cursor);
    key(Qt::Key_Delete);
    ASSERT_EQ(stored().blocks.size(), 1u);
    editor->history()->undo();
    ASSERT_EQ(stored().blocks.size(), 2u);
    EXPECT_EQ(stored().blocks[1].id, todo.id);
    EXPECT_EQ(stored().blocks[1].kind, BlockKind::Todo);

    // Typing, then the note changes elsewhere: the old step must not paste
    // its characters into what now stands there.
    caretAt(1);
    type(QStringLiteral("yz"));
    Note elsewhere = stored();
    elsewhere.blocks[0].text = RichText(QStringLiteral("other"), TextFont::system(14));
    store->update(elsewhere, false, false);
    editor->render(false);
    editor->history()->undo();
    EXPECT_EQ(stored().blocks[0].text.attributed().string(), QStringLiteral("other"));
    EXPECT_EQ(text(), QStringLiteral("other\nkeep\n"));
}

TEST_F(BlockEditorTest, TypingAfterAPlaceholderStaysUndoableOnceTheLineIsShownWithoutIt)
{
    open({makeBlock(BlockKind::Paragraph, QString())});
    ASSERT_EQ(text(), QStringLiteral("\u200B\n"));
    caretAt(1); // where a click into the empty line puts the caret
    type(QStringLiteral("abc"));
    key(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(text(), QStringLiteral("abc\n"));

    editor->undo();
    editor->undo();
    EXPECT_EQ(blockTexts(), std::vector<QString>{QString()});
    EXPECT_EQ(stored().blocks[0].kind, BlockKind::Paragraph);
    editor->redo();
    editor->redo();
    EXPECT_EQ(blockTexts(), std::vector<QString>{QStringLiteral("abc")});
    EXPECT_EQ(stored().blocks[0].kind, BlockKind::Todo);
}

TEST_F(BlockEditorTest, UndoAndRedoGiveEveryBlockBackItsId)
{
    open({makeBlock(BlockKind::Paragraph, QString())});
    caretAt(1);
    QApplication::clipboard()->setText(QStringLiteral("a1\nb2"));
    editor->textView()->paste();
    key(Qt::Key_Return);
    type(QStringLiteral("Z"));
    const auto ids = [this] {
        std::vector<QUuid> found;
        std::ranges::transform(stored().blocks, std::back_inserter(found), &Block::id);
        return found;
    };
    const std::vector<QUuid> typed = ids();
    ASSERT_EQ(blockTexts(), (std::vector<QString>{QStringLiteral("a1"), QStringLiteral("b2"), QStringLiteral("Z")}));

    editor->undo();
    editor->undo();
    EXPECT_EQ(ids(), std::vector<QUuid>(typed.begin(), typed.begin() + 2));
    // The caret is back where Return was pressed.
    EXPECT_EQ(editor->textView()->textCursor().position(), text().indexOf(QStringLiteral("b2")) + 2);
    editor->undo();
    EXPECT_EQ(ids(), std::vector<QUuid>(typed.begin(), typed.begin() + 1));
    editor->redo();
    EXPECT_EQ(ids(), std::vector<QUuid>(typed.begin(), typed.begin() + 2));
    editor->redo();
    EXPECT_EQ(ids(), typed); // the new line is the one "Z" was typed into
    editor->redo();
    EXPECT_EQ(ids(), typed);
    EXPECT_EQ(blockTexts().back(), QStringLiteral("Z"));
}

TEST_F(BlockEditorTest, UndoAfterSeveralWriteBacksRestoresEveryBlockAsItWas)
{
    open({makeBlock(BlockKind::H2, QStringLiteral("Title")), makeBlock(BlockKind::Todo, QStringLiteral("task")),
          makeBlock(BlockKind::Paragraph, QStringLiteral("body"))});
    const auto shape = [](const Note& note) {
        QStringList lines;
        for (const Block& block : note.blocks)
            lines << blockKind::rawValue(block.kind) + QLatin1Char(':') + block.text.attributed().string();
        return lines;
    };
    const QStringList original = shape(stored());
    editor->flush(); // nothing typed: the note stays as it is
    EXPECT_EQ(shape(stored()), original);

    caretAt(5);
    key(Qt::Key_Return);
    type(QStringLiteral("new"));
    caretAt(int(text().indexOf(QStringLiteral("body"))) + 4);
    type(QStringLiteral("!"));
    editor->flush();
    EXPECT_EQ(text(), QStringLiteral("Title\nnew\ntask\nbody!\n"));
    while (editor->history()->canUndo())
        editor->history()->undo();
    EXPECT_EQ(shape(stored()), original);
    EXPECT_EQ(text(), QStringLiteral("Title\ntask\nbody\n"));
}

TEST_F(BlockEditorTest, ImagesFitTheWidthTheEditorHasNow)
{
    QTemporaryDir attachments;
    ASSERT_TRUE(attachments.isValid());
    QImage picture(400, 100, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    ASSERT_TRUE(picture.save(attachments.filePath(QStringLiteral("wide.png"))));
    store->attachmentsDirectory = attachments.path();
    Block image = makeBlock(BlockKind::Image, QString());
    image.attachment = Attachment{};
    image.attachment->relativePath = QStringLiteral("wide.png");
    image.attachment->originalFilename = QStringLiteral("wide.png");
    open({image});
    editor->show();
    const auto shownWidth = [&] {
        return editordoc::charFormatAt(*editor->document(), 0).toImageFormat().width();
    };
    // Rendered before the window gave the editor its size, then resized.
    for (const auto& [width, expected] : {std::pair{320, 220.0}, {620, 400.0}, {150, 120.0}}) {
        editor->resize(width, 400);
        EXPECT_DOUBLE_EQ(shownWidth(), expected) << width;
    }
    EXPECT_TRUE(editor->history()->count() == 0);
    EXPECT_EQ(stored().blocks.size(), 1u);
}

TEST_F(BlockEditorTest, TypingIntoAnAttachmentLineGoesToANewParagraph)
{
    Block image = makeBlock(BlockKind::Image, QString());
    image.attachment = Attachment{};
    image.attachment->relativePath = QStringLiteral("missing.png");
    image.attachment->originalFilename = QStringLiteral("missing.png");
    open({image});
    EXPECT_EQ(text(), QString(QChar(0xFFFC)) + QStringLiteral(" missing.png\n"));
    caretAt(5);
    type(QStringLiteral("hi"));
    const Note note = stored();
    ASSERT_EQ(note.blocks.size(), 2u);
    EXPECT_EQ(note.blocks[0].kind, BlockKind::Image);
    EXPECT_EQ(note.blocks[1].text.attributed().string(), QStringLiteral("hi"));
    EXPECT_EQ(editor->history()->count(), 2); // the new line, then the typing
}

TEST_F(BlockEditorTest, ClickFarBelowMakesAtMostFiveHundredLinesInOneStep)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("p"))});
    EXPECT_FALSE(editor->prepareWritableLine(QPointF(10, 5)));
    EXPECT_TRUE(editor->prepareWritableLine(QPointF(10, 10000 * 10.0)));
    EXPECT_EQ(stored().blocks.size(), 501u);
    EXPECT_EQ(editor->currentBlock(), stored().blocks.back().id);
    editor->history()->undo();
    EXPECT_EQ(stored().blocks.size(), 1u);
}

TEST_F(BlockEditorTest, ABlockCommandKeepsTheCaretInLinesTypedBelowTheLastLineBreak)
{
    for (const int returns : {0, 1, 3}) {
        SCOPED_TRACE(returns);
        open({makeBlock(BlockKind::Paragraph, QStringLiteral("p"))});
        caretAt(int(text().size())); // where a click below the text puts it once no lines fit
        for (int i = 0; i < returns; ++i)
            key(Qt::Key_Return);
        type(QStringLiteral("two"));
        key(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        type(QStringLiteral("Z"));
        EXPECT_EQ(stored().blocks.back().text.attributed().string(), QStringLiteral("twoZ"));
        EXPECT_EQ(stored().blocks.back().kind, BlockKind::Todo);
    }
}

TEST_F(BlockEditorTest, ImportRoutesFilesAndFailsClearly)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("p"))});
    editor->importFiles({QStringLiteral("/tmp/Report.PDF")});
    ASSERT_EQ(stored().blocks.size(), 2u);
    EXPECT_EQ(stored().blocks[1].kind, BlockKind::Pdf);
    EXPECT_EQ(editor->history()->undoText(), QStringLiteral("插入附件"));

    editor->importFiles({QStringLiteral("/tmp/a.pdf"), QStringLiteral("/tmp/archive.zip")});
    EXPECT_EQ(stored().blocks.size(), 2u); // nothing of a failed batch is inserted
    EXPECT_EQ(store->reported, std::vector<QString>{QStringLiteral("请将文件拖至文件暂存区。")});

    QStringList staged;
    editor->stageFiles = [&](const QStringList& files) {
        staged += files;
        return true;
    };
    editor->importFiles({QStringLiteral("/tmp/archive.zip")});
    EXPECT_EQ(staged, QStringList{QStringLiteral("/tmp/archive.zip")});
}

TEST_F(BlockEditorTest, APictureThatCannotBeReadIsReportedRatherThanStaged)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("p"))});
    QStringList staged;
    editor->stageFiles = [&](const QStringList& files) {
        staged += files;
        return true;
    };
    editor->readFailure = [](const QString&) { return std::optional<QString>(QStringLiteral("没有访问权限")); };
    EXPECT_FALSE(editor->importFiles({QStringLiteral("/tmp/Photo.JPG")}));
    EXPECT_EQ(store->reported, std::vector<QString>{QStringLiteral("无法读取文件“Photo.JPG”：没有访问权限")});
    EXPECT_TRUE(staged.isEmpty());
    EXPECT_EQ(stored().blocks.size(), 1u);

    // Any other file is only linked; its shelf entry tells when it cannot be reached.
    EXPECT_TRUE(editor->importFiles({QStringLiteral("/tmp/archive.zip")}));
    EXPECT_EQ(staged, QStringList{QStringLiteral("/tmp/archive.zip")});
}

TEST_F(BlockEditorTest, FocusAndCurrentBlock)
{
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("t"));
    todo.todo->notesExpanded = true;
    const Block last = makeBlock(BlockKind::Paragraph, QStringLiteral("end"));
    open({todo, last});
    editor->focus(todo.id, true);
    EXPECT_EQ(editor->textView()->textCursor().position(), 2);
    EXPECT_EQ(editor->currentBlock(), todo.id);
    caretAt(int(text().size()));
    EXPECT_EQ(editor->currentBlock(), last.id);
    EXPECT_EQ(editor->block(editor->firstLineRect(0, 1).center().y()), todo.id);
}

TEST_F(BlockEditorTest, ALongNoteShownInPartsIsLaidOutNoFurtherThanAsked)
{
    // Where the next part goes is kept without laying the text out down to
    // there: each part would lay out again all the parts before it.
    std::vector<Block> lines;
    for (int i = 0; i < 1000; ++i)
        lines.push_back(makeBlock(BlockKind::Paragraph, QStringLiteral("line %1 of a long note").arg(i)));
    open(lines);
    editor->show();
    editor->paragraphsPerPart = 400;
    editor->render(true);
    ASSERT_TRUE(editor->isShowingInParts());
    const auto laidOut = [&](int line) { return editor->document()->findBlockByNumber(line).layout()->lineCount() > 0; };
    editor->showWholeText();
    EXPECT_TRUE(laidOut(0));
    EXPECT_FALSE(laidOut(999)) << "the last line";
    EXPECT_GT(editor->rect(editor->ranges().back().start, 1).top(), 0) << "laid out once asked";
}

TEST_F(BlockEditorTest, TheTextShowsTheBlocksInDisplayOrder)
{
    // Archived todos are left out; a sorted note shows its todos by priority.
    Block low = makeBlock(BlockKind::Todo, QStringLiteral("low"));
    low.todo->priority = 4;
    Block high = makeBlock(BlockKind::Todo, QStringLiteral("high"));
    high.todo->priority = 1;
    Block done = makeBlock(BlockKind::Todo, QStringLiteral("done"));
    done.todo->archivedAt = fixedNow();
    const struct {
        bool archived;
        bool sorted;
        QString shown;
    } cases[] = {
        {false, false, QStringLiteral("low\nhigh\n")},
        {true, false, QStringLiteral("low\nhigh\n")},
        {false, true, QStringLiteral("high\nlow\n")},
        {true, true, QStringLiteral("high\nlow\n")},
    };
    for (const auto& c : cases) {
        open(c.archived ? std::vector<Block>{low, done, high} : std::vector<Block>{low, high});
        store->notes[0].prioritySorted = c.sorted;
        editor->render(true);
        EXPECT_EQ(text(), c.shown) << c.archived << c.sorted;
    }
}

} // namespace
} // namespace quorrin
