// The write-back reads, marks and lays out only the paragraphs edits touched;
// after every kind of edit the note, the run table and the document must be
// exactly what reading and writing back the whole text gives.
#include "Editor/BlockEditor.h"

#include "Editor/BlockTextView.h"
#include "Editor/DocumentMirror.h"
#include "Editor/EditorDocument.h"
#include "Editor/TextDocumentConversion.h"
#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <functional>
#include <set>
#include <tuple>

namespace quorrin {
namespace {

using namespace quorrin::testing;

// A block's id is compared when the block was in the note from the start;
// a block made by an edit only has to be new in both notes.
bool sameBlocks(const Note& a, const Note& b, const std::set<QUuid>& original)
{
    if (a.blocks.size() != b.blocks.size())
        return false;
    for (std::size_t i = 0; i < a.blocks.size(); ++i) {
        Block left = a.blocks[i];
        const Block& right = b.blocks[i];
        if (original.count(left.id) != original.count(right.id))
            return false;
        if (!original.count(left.id))
            left.id = right.id;
        if (!(left == right))
            return false;
    }
    return true;
}

// The text without block ids, which differ for blocks edits made.
AttributedString withoutIDs(AttributedString text)
{
    text.removeCustom(0, text.length(), EditorAttribute::blockID);
    return text;
}

class BlockEditorWriteBackTest : public ::testing::Test {
public:
    // Two editors of the same note take the same edits: `editor` writes back
    // what edits touched, `reference` reads, marks and lays out the whole
    // text at every write-back (its copy of the text is read anew before).
    std::shared_ptr<FakeStore> store = std::make_shared<FakeStore>();
    std::shared_ptr<FakeStore> referenceStore = std::make_shared<FakeStore>();
    std::unique_ptr<BlockEditor> editor;
    std::unique_ptr<BlockEditor> reference;
    BlockEditor* target = nullptr;
    QUuid noteID;
    std::set<QUuid> original;

    Block heading = makeBlock(BlockKind::H1, QStringLiteral("Title"));
    Block first = makeBlock(BlockKind::Paragraph, QStringLiteral("alpha beta"));
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("buy milk"));
    Block bullet = makeBlock(BlockKind::Bullet, QStringLiteral("point"));
    Block last = makeBlock(BlockKind::Paragraph, QStringLiteral("omega"));

    void openNote()
    {
        todo.todo->notes = RichText(QStringLiteral("remark"), TextFont::system(12));
        todo.todo->notesExpanded = true;
        const Note note = makeNote({heading, first, todo, bullet, last});
        noteID = note.id;
        original.clear();
        for (const Block& block : note.blocks)
            original.insert(block.id);
        store->notes = {note};
        referenceStore->notes = {note};
        editor = std::make_unique<BlockEditor>(store, noteID, nullptr, fixedNow);
        reference = std::make_unique<BlockEditor>(referenceStore, noteID, nullptr, fixedNow);
        // Connected after the editor's own handler: runs before the text's
        // change reaches the write-back.
        QObject::connect(reference->document(), &QTextDocument::contentsChange, reference.get(),
                         [this] { const_cast<DocumentMirror&>(reference->mirror()).reread(); });
        for (BlockEditor* each : {editor.get(), reference.get()}) {
            each->resize(320, 400);
            each->textView()->setFocus();
        }
    }
    // Runs an edit on both editors.
    void onBoth(const std::function<void(BlockEditorWriteBackTest&)>& edit)
    {
        for (BlockEditor* each : {editor.get(), reference.get()}) {
            target = each;
            edit(*this);
        }
    }

    QString text() const { return textdoc::plainText(*target->document(), 0, 1 << 20); }
    int at(const QString& word) const { return int(text().indexOf(word)); }
    void select(int start, int end)
    {
        QTextCursor cursor(target->document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        target->textView()->setTextCursor(cursor);
    }
    void caretAt(int position) { select(position, position); }
    void type(const QString& keys) { QTest::keyClicks(target->textView(), keys); }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(target->textView(), k, modifiers);
    }
    void paste(const QString& plain)
    {
        QGuiApplication::clipboard()->setText(plain);
        target->textView()->paste();
    }
    void compose(const QString& preedit)
    {
        QInputMethodEvent event(preedit, {});
        QCoreApplication::sendEvent(target->textView(), &event);
    }
    void commit(const QString& text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(target->textView(), &event);
    }

    // The note, the run table and the text are what the reference's full
    // write-back made of them, every paragraph carries the marks of its run,
    // and the copy undo steps are taken from is the text.
    void expectSameAsFullWriteBack()
    {
        const Note note = *store->note(noteID);
        const Note full = *referenceStore->note(noteID);
        EXPECT_TRUE(sameBlocks(note, full, original));
        ASSERT_EQ(editor->ranges().size(), reference->ranges().size());
        for (std::size_t i = 0; i < editor->ranges().size(); ++i) {
            const TextRun& run = editor->ranges()[i];
            const TextRun& full = reference->ranges()[i];
            EXPECT_EQ(std::tie(run.start, run.length, run.isRemarks), std::tie(full.start, full.length, full.isRemarks));
        }
        const QTextDocument& doc = *editor->document();
        EXPECT_EQ(withoutIDs(textdoc::contents(doc)), withoutIDs(textdoc::contents(*reference->document())));
        EXPECT_EQ(editor->mirror().text(), textdoc::contents(doc));
        const std::vector<editortext::Paragraph> paragraphs = editordoc::readParagraphs(doc);
        ASSERT_EQ(paragraphs.size(), editor->ranges().size());
        for (std::size_t i = 0; i < paragraphs.size(); ++i) {
            const AttributedString& paragraph = paragraphs[i].text;
            for (int c = 0; c < paragraph.length(); ++c) {
                ASSERT_EQ(editortext::blockIDAt(paragraph, c), editor->ranges()[i].blockID) << "paragraph " << i;
                ASSERT_EQ(editortext::isRemarksAt(paragraph, c), editor->ranges()[i].isRemarks) << "paragraph " << i;
            }
        }
        // The readings the next write-back starts from are the paragraphs as they are.
        DocumentMirror& mirror = const_cast<DocumentMirror&>(editor->mirror());
        mirror.refreshParagraphs();
        ASSERT_EQ(mirror.paragraphs().size(), paragraphs.size());
        for (std::size_t i = 0; i < paragraphs.size(); ++i)
            EXPECT_EQ(mirror.paragraphs()[i], editortext::reading(paragraphs[i])) << "paragraph " << i;
    }
};

TEST_F(BlockEditorWriteBackTest, EditsAtBlockBoundariesWriteBackLikeAFullReread)
{
    struct Case {
        const char* name;
        std::function<void(BlockEditorWriteBackTest&)> edit;
    };
    const std::vector<Case> cases = {
        {"type at a block's start", [](auto& t) { t.caretAt(t.at(QStringLiteral("alpha"))); t.type(QStringLiteral("A")); }},
        {"type at a block's end", [](auto& t) { t.caretAt(t.at(QStringLiteral("beta")) + 4); t.type(QStringLiteral("Z")); }},
        {"type at the text's start", [](auto& t) { t.caretAt(0); t.type(QStringLiteral("x")); }},
        {"type after the final line break", [](auto& t) { t.caretAt(int(t.text().size())); t.type(QStringLiteral("new")); }},
        {"return at a block's start", [](auto& t) { t.caretAt(t.at(QStringLiteral("point"))); t.key(Qt::Key_Return); }},
        {"return at a block's end", [](auto& t) {
             t.caretAt(t.at(QStringLiteral("beta")) + 4);
             t.key(Qt::Key_Return);
             t.type(QStringLiteral("gamma"));
         }},
        {"return inside a todo", [](auto& t) { t.caretAt(t.at(QStringLiteral("milk"))); t.key(Qt::Key_Return); }},
        {"backspace joins two blocks", [](auto& t) { t.caretAt(t.at(QStringLiteral("point"))); t.key(Qt::Key_Backspace); }},
        {"delete joins a block with the next", [](auto& t) { t.caretAt(t.at(QStringLiteral("beta")) + 4); t.key(Qt::Key_Delete); }},
        {"backspace joins remarks with their todo", [](auto& t) { t.caretAt(t.at(QStringLiteral("remark"))); t.key(Qt::Key_Backspace); }},
        {"type into the remarks", [](auto& t) { t.caretAt(t.at(QStringLiteral("remark")) + 6); t.type(QStringLiteral("s!")); }},
        {"delete a whole block", [](auto& t) {
             const int start = t.at(QStringLiteral("point"));
             t.select(start, start + 6);
             t.key(Qt::Key_Delete);
         }},
        {"delete the last block", [](auto& t) {
             const int start = t.at(QStringLiteral("omega"));
             t.select(start - 1, start + 6);
             t.key(Qt::Key_Delete);
         }},
        {"delete across blocks", [](auto& t) {
             t.select(t.at(QStringLiteral("beta")), t.at(QStringLiteral("milk")));
             t.key(Qt::Key_Delete);
         }},
        {"paste paragraphs over a selection across blocks", [](auto& t) {
             t.select(t.at(QStringLiteral("beta")), t.at(QStringLiteral("oint")));
             t.paste(QStringLiteral("one\ntwo\nthree"));
         }},
        {"paste at the end", [](auto& t) { t.caretAt(int(t.text().size())); t.paste(QStringLiteral("x\ny\n")); }},
        {"select all and type", [](auto& t) { t.target->textView()->selectAll(); t.type(QStringLiteral("q")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openNote();
        // One keystroke first, so that the edit meets the kept readings of an
        // earlier write-back, not a fresh render.
        onBoth([](auto& t) {
            t.caretAt(t.at(QStringLiteral("omega")) + 5);
            t.type(QStringLiteral("!"));
        });
        onBoth(c.edit);
        expectSameAsFullWriteBack();
        // A second edit far from the first.
        onBoth([](auto& t) {
            t.caretAt(t.at(QStringLiteral("Title")) + 2);
            t.type(QStringLiteral("?"));
        });
        expectSameAsFullWriteBack();
    }
}

TEST_F(BlockEditorWriteBackTest, TheFirstWriteBackOfLinesInOneBlockLeavesNothingToReadAgain)
{
    // A note made from selected text holds all its lines in one block; the
    // first write-back gives each line a block of its own and marks it so.
    // The lines of a todo with a reminder become todos without one, laid out
    // anew besides: marks and layout go in as one edit, and the text is read
    // back as both left it.
    for (const BlockKind kind : {BlockKind::Paragraph, BlockKind::Todo}) {
        first = makeBlock(kind, QStringLiteral("buy milk\nbuy eggs\nbuy bread"));
        if (first.todo)
            first.todo->reminder = TodoReminder{fixedNow(), std::nullopt, std::nullopt};
        openNote();
        int edits = 0;
        QObject::connect(editor->document(), &QTextDocument::contentsChange, editor.get(), [&] { ++edits; });
        onBoth([](auto& t) { t.target->flush(); });
        EXPECT_EQ(edits, 1) << int(kind);
        expectSameAsFullWriteBack();
        EXPECT_EQ(store->note(noteID)->blocks.size(), 7u);
        // Marking is no edit: the paragraphs keep the marks they were given
        // (lines laid out anew are read again, and start without).
        const std::vector<DocumentMirror::Memo>& memos = const_cast<DocumentMirror&>(editor->mirror()).memos();
        ASSERT_EQ(memos.size(), editor->ranges().size());
        for (std::size_t i = 0; kind == BlockKind::Paragraph && i < memos.size(); ++i) {
            ASSERT_TRUE(memos[i].mark) << "paragraph " << i;
            EXPECT_EQ(memos[i].mark->blockID, editor->ranges()[i].blockID) << "paragraph " << i;
        }
    }
}

TEST_F(BlockEditorWriteBackTest, ManyLinesAreMarkedASliceAtATimeAndKeepTheirBlocksMeanwhile)
{
    // Marking many lines at once would hold the event loop: the write-back
    // marks those around the caret and the rest a slice per turn. A
    // write-back before they are all marked keeps every line in its block.
    first = makeBlock(BlockKind::Paragraph, QStringLiteral("l0\nl1\nl2\nl3\nl4\nl5\nl6\nl7\nl8\nl9"));
    openNote();
    editor->marksPerTurn = 2;
    const auto unmarked = [this] {
        const std::vector<editortext::Paragraph> paragraphs = editordoc::readParagraphs(*editor->document());
        int count = 0;
        for (std::size_t i = 0; i < paragraphs.size() && i < editor->ranges().size(); ++i)
            count += editortext::blockIDAt(paragraphs[i].text, 0) != editor->ranges()[i].blockID ? 1 : 0;
        return count;
    };
    onBoth([](auto& t) {
        t.caretAt(t.at(QStringLiteral("l5")));
        t.target->flush();
    });
    const auto storedIDs = [this] {
        const Note note = store->note(noteID).value();
        std::vector<QUuid> ids;
        for (const Block& block : note.blocks)
            ids.push_back(block.id);
        return ids;
    };
    const std::vector<QUuid> ids = storedIDs();
    ASSERT_EQ(ids.size(), 14u);
    EXPECT_GT(unmarked(), 0) << "some lines are left for later turns";

    onBoth([](auto& t) { t.type(QStringLiteral("x")); });
    EXPECT_EQ(storedIDs(), ids);

    for (int turn = 0; turn < 20 && unmarked() > 0; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(unmarked(), 0);
    expectSameAsFullWriteBack();
}

TEST_F(BlockEditorWriteBackTest, EditsWhileALongTextComesInPartsEndAsTheWholeTextEdited)
{
    // A long text is shown a part per turn. Typing meanwhile is written back
    // after the last part; what needs the whole text shows the rest first.
    struct Case {
        const char* name;
        std::function<void(BlockEditorWriteBackTest&)> edit;
        bool writesBackAtOnce;
    };
    const std::vector<Case> cases = {
        {"nothing typed", nullptr, false},
        {"type on a line shown", [](auto& t) { t.caretAt(t.at(QStringLiteral("l0"))); t.type(QStringLiteral("x")); },
         false},
        {"return on a line shown", [](auto& t) { t.caretAt(t.at(QStringLiteral("l0")) + 2); t.key(Qt::Key_Return); },
         false},

        {"leave the text after typing", [](auto& t) {
             t.caretAt(t.at(QStringLiteral("Title")));
             t.type(QStringLiteral("x"));
             t.target->flushEdits();
         },
         true},
        {"type and leave for another window", [](auto& t) {
             t.caretAt(t.at(QStringLiteral("l0")));
             t.type(QStringLiteral("x"));
             t.target->endEditing(Qt::ActiveWindowFocusReason);
         },
         false},
        {"go to a line not shown yet and type", [](auto& t) {
             t.target->focus(t.last.id);
             t.type(QStringLiteral("x"));
         },
         true},
        {"select all and type", [](auto& t) {
             t.key(Qt::Key_A, Qt::ControlModifier);
             t.type(QStringLiteral("q"));
         },
         true},
        {"undo what was typed", [](auto& t) {
             t.caretAt(t.at(QStringLiteral("l0")));
             t.type(QStringLiteral("x"));
             t.target->undo();
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        first = makeBlock(BlockKind::Paragraph, QStringLiteral("l0\nl1\nl2\nl3\nl4\nl5\nl6\nl7\nl8\nl9"));
        openNote();
        // Remarks of many lines, laid out otherwise where they end: a part
        // may end inside them.
        for (FakeStore* each : {store.get(), referenceStore.get()}) {
            if (!c.edit)
                each->notes[0].blocks[2].todo->notes = RichText(QStringLiteral("r0\nr1\nr2\nr3\nr4\nr5"), TextFont::system(12));
        }
        const Note shown = *store->note(noteID);
        reference->render(true);
        editor->paragraphsPerPart = 2;
        editor->render(true);
        ASSERT_TRUE(editor->isShowingInParts());
        target = editor.get();
        EXPECT_EQ(text().indexOf(QStringLiteral("l4")), -1) << "not shown yet";
        if (c.edit)
            onBoth(c.edit);
        EXPECT_EQ(editor->isShowingInParts(), !c.writesBackAtOnce);
        EXPECT_EQ(*store->note(noteID) == shown, !c.writesBackAtOnce) << "written back at once";
        for (int turn = 0; turn < 50 && editor->isShowingInParts(); ++turn)
            QCoreApplication::processEvents();
        EXPECT_FALSE(editor->isShowingInParts());
        if (c.edit) {
            expectSameAsFullWriteBack();
            continue;
        }
        // Shown whole at last, as if in one go.
        EXPECT_EQ(editor->ranges(), reference->ranges());
        EXPECT_EQ(textdoc::contents(*editor->document()), textdoc::contents(*reference->document()));
    }
}

TEST_F(BlockEditorWriteBackTest, TextTypedBelowTheLinesShownStaysBelowTheWholeText)
{
    // The parts go in above it, as it was typed below the last line. (The
    // colour the new line takes may differ: its line above differs.)
    first = makeBlock(BlockKind::Paragraph, QStringLiteral("l0\nl1\nl2\nl3\nl4\nl5\nl6\nl7\nl8\nl9"));
    openNote();
    editor->paragraphsPerPart = 2;
    editor->render(true);
    onBoth([](auto& t) {
        t.caretAt(int(t.text().size()));
        t.type(QStringLiteral("new"));
    });
    for (int turn = 0; turn < 50 && editor->isShowingInParts(); ++turn) {
        QCoreApplication::processEvents();
        // The runs follow one another to the text's end, the typed line on the last.
        const std::vector<TextRun>& runs = editor->ranges();
        for (std::size_t i = 1; i < runs.size(); ++i)
            ASSERT_EQ(runs[i].start, runs[i - 1].end()) << "run " << i << ", turn " << turn;
        ASSERT_EQ(runs.back().end(), editordoc::textLength(*editor->document())) << "turn " << turn;
    }
    onBoth([](auto& t) { t.target->flush(); });
    EXPECT_EQ(textdoc::plainText(*editor->document(), 0, 1 << 20), textdoc::plainText(*reference->document(), 0, 1 << 20));
    const auto texts = [](const Note& note) {
        QStringList lines;
        for (const Block& block : note.blocks)
            lines << block.text.attributed().string();
        return lines;
    };
    EXPECT_EQ(texts(*store->note(noteID)), texts(*referenceStore->note(noteID)));
    ASSERT_EQ(editor->ranges().size(), reference->ranges().size());
    for (std::size_t i = 0; i < editor->ranges().size(); ++i)
        EXPECT_EQ(editor->ranges()[i].length, reference->ranges()[i].length) << "run " << i;
}

TEST_F(BlockEditorWriteBackTest, ALongTextShownAgainShowsTheCaretsLineInItsFirstPart)
{
    first = makeBlock(BlockKind::Paragraph, QStringLiteral("l0\nl1\nl2\nl3\nl4\nl5\nl6\nl7\nl8\nl9"));
    openNote();
    target = editor.get();
    caretAt(at(QStringLiteral("l8")) + 1);
    editor->paragraphsPerPart = 2;
    editor->render(true);
    EXPECT_TRUE(editor->isShowingInParts());
    EXPECT_EQ(editor->textView()->textCursor().position(), at(QStringLiteral("l8")) + 1);
}

TEST_F(BlockEditorWriteBackTest, LeavingTheTextWritesBackOnlyWhenItChangedSinceTheLastWriteBack)
{
    // Lines in one block are written back as blocks of their own: leaving
    // the text does that only once something in it changed, so that leaving
    // a long note untouched never reads it all back.
    first = makeBlock(BlockKind::Paragraph, QStringLiteral("buy milk\nbuy eggs"));
    openNote();
    target = editor.get();
    const auto leave = [this] {
        QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(editor->textView(), &out);
    };
    leave();
    EXPECT_EQ(store->note(noteID)->blocks.size(), 5u);
    // A change of format alone is written back when the text is left.
    QTextCursor cursor(editor->document());
    cursor.setPosition(at(QStringLiteral("milk")));
    cursor.setPosition(at(QStringLiteral("milk")) + 4, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.mergeCharFormat(bold);
    EXPECT_EQ(store->note(noteID)->blocks.size(), 5u);
    leave();
    const Note written = *store->note(noteID);
    ASSERT_EQ(written.blocks.size(), 6u);
    EXPECT_TRUE(written.blocks[1].text.attributed().attributesAt(4).font->bold);
}

TEST_F(BlockEditorWriteBackTest, UndoAndRedoAfterWriteBacksRestoreTheNote)
{
    openNote();
    onBoth([](auto& t) {
        t.caretAt(t.at(QStringLiteral("beta")) + 4);
        t.type(QStringLiteral(" gamma"));
        t.key(Qt::Key_Return);
        t.type(QStringLiteral("delta"));
        t.select(t.at(QStringLiteral("milk")), t.at(QStringLiteral("point")) + 2);
        t.paste(QStringLiteral("A\nB"));
    });
    expectSameAsFullWriteBack();
    while (editor->history()->canUndo()) {
        onBoth([](auto& t) { t.target->history()->undo(); });
        expectSameAsFullWriteBack();
    }
    EXPECT_EQ(textdoc::plainText(*editor->document(), 0, 1 << 20),
              QStringLiteral("Title\nalpha beta\nbuy milk\nremark\npoint\nomega\n"));
    while (editor->history()->canRedo()) {
        onBoth([](auto& t) { t.target->history()->redo(); });
        expectSameAsFullWriteBack();
    }
}

TEST_F(BlockEditorWriteBackTest, ANoteChangedByAnotherWriterKeepsItsChangeThroughTypingAndUndo)
{
    openNote();
    // Another writer changes the note behind the editors, without telling them.
    for (FakeStore* each : {store.get(), referenceStore.get()}) {
        Note changed = *each->note(noteID);
        changed.color = NoteColor::Blue;
        changed.blocks[2].todo->priority = 1;
        each->update(changed, false, false);
    }
    onBoth([](auto& t) {
        t.caretAt(t.at(QStringLiteral("beta")) + 4);
        t.type(QStringLiteral("x"));
    });
    expectSameAsFullWriteBack();
    Note note = *store->note(noteID);
    EXPECT_EQ(note.color, NoteColor::Blue);
    EXPECT_EQ(note.blocks[2].todo->priority, 1);
    EXPECT_EQ(note.blocks[1].text.attributed().string(), QStringLiteral("alpha betax"));
    // Typing saves later and tells no other window.
    EXPECT_EQ(store->immediateSaves, 0);
    EXPECT_EQ(store->notifications, 0);

    // The todo's text goes and comes back by undo: as last seen, with the
    // other writer's priority.
    onBoth([](auto& t) {
        t.select(t.at(QStringLiteral("betax")) + 5, t.at(QStringLiteral("point")) - 1);
        t.key(Qt::Key_Delete);
    });
    expectSameAsFullWriteBack();
    ASSERT_EQ(store->note(noteID)->blocks.size(), 4u);
    onBoth([](auto& t) { t.target->history()->undo(); });
    expectSameAsFullWriteBack();
    note = *store->note(noteID);
    ASSERT_EQ(note.blocks.size(), 5u);
    EXPECT_EQ(note.blocks[2].id, todo.id);
    ASSERT_TRUE(note.blocks[2].todo);
    EXPECT_EQ(note.blocks[2].todo->priority, 1);
    EXPECT_EQ(note.color, NoteColor::Blue);
}

TEST_F(BlockEditorWriteBackTest, InputMethodReplacingASelectionWritesBackOnCommit)
{
    openNote();
    onBoth([](auto& t) {
        t.caretAt(t.at(QStringLiteral("beta")) + 4);
        t.type(QStringLiteral("x"));
        t.select(t.at(QStringLiteral("beta")), t.at(QStringLiteral("milk")) + 2);
        t.compose(QStringLiteral("zhong"));
        EXPECT_TRUE(t.target->hasMarkedText());
        t.commit(QStringLiteral("中文"));
        EXPECT_FALSE(t.target->hasMarkedText());
        t.target->flush();
    });
    expectSameAsFullWriteBack();
    const Note note = *store->note(noteID);
    ASSERT_GE(note.blocks.size(), 2u);
    EXPECT_EQ(note.blocks[1].text.attributed().string(), QStringLiteral("alpha 中文lk"));
}

TEST_F(BlockEditorWriteBackTest, FormattingAndLinksWriteBackLikeAFullReread)
{
    openNote();
    onBoth([](auto& t) {
        t.caretAt(t.at(QStringLiteral("omega")) + 5);
        t.type(QStringLiteral(" www.example.com "));
    });
    expectSameAsFullWriteBack();
    onBoth([](auto& t) {
        t.select(t.at(QStringLiteral("alpha")), t.at(QStringLiteral("milk")));
        t.target->toggleBold();
    });
    expectSameAsFullWriteBack();
    onBoth([](auto& t) { t.target->history()->undo(); });
    expectSameAsFullWriteBack();
}

} // namespace
} // namespace quorrin
