// What the editor shows after an edit is what the stored note shows when it
// is opened again: the same characters in the same formats.
#include "Editor/BlockEditor.h"

#include "Editor/BlockMenuPanel.h"
#include "Editor/BlockTextView.h"
#include "Editor/LinkDetection.h"
#include "Editor/TextDocumentConversion.h"
#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

namespace quorrin {
namespace {

using namespace quorrin::testing;

// Every paragraph and character as the document draws it, neighbours that
// look the same merged: "¶" starts a paragraph with how it is laid out,
// "|size b i u s colour] [" a stretch of characters that look alike.
std::string shown(const QTextDocument& document)
{
    std::string out;
    std::string last;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        if (block != document.firstBlock() && block == document.lastBlock() && block.length() == 1)
            break; // the empty line after a final line break is no paragraph
        const QTextBlockFormat format = block.blockFormat();
        out += QStringLiteral("¶%1 %2 %3 %4 %5%6%7 ")
                   .arg(format.leftMargin())
                   .arg(format.textIndent())
                   .arg(format.rightMargin())
                   .arg(format.bottomMargin())
                   .arg(format.headingLevel() ? QStringLiteral(" heading") : QString())
                   .arg(block.textList() ? QStringLiteral(" list") : QString())
                   .arg(QTextCursor(block).currentTable() ? QStringLiteral(" table") : QString())
                   .toStdString();
        last.clear();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString characters = QString(fragment.text()).remove(QChar(0x200B)); // shows nothing
            if (characters.isEmpty())
                continue;
            const QTextCharFormat c = fragment.charFormat();
            const QFont font = c.font().resolve(document.defaultFont());
            const QString look = QStringLiteral("%1%2%3%4%5 %6%7")
                                     .arg(font.pointSizeF())
                                     .arg(font.bold() ? QStringLiteral(" b") : QString())
                                     .arg(font.italic() ? QStringLiteral(" i") : QString())
                                     .arg(font.underline() ? QStringLiteral(" u") : QString())
                                     .arg(font.strikeOut() ? QStringLiteral(" s") : QString())
                                     .arg(c.foreground().style() == Qt::NoBrush ? QStringLiteral("text")
                                                                                : c.foreground().color().name(QColor::HexArgb))
                                     .arg(c.isImageFormat() ? QStringLiteral(" picture") : QString());
            if (look.toStdString() != last) {
                out += "|" + look.toStdString() + "] [";
                last = look.toStdString();
            }
            out += characters.toStdString();
        }
        out += "\n";
    }
    return out;
}

class BlockEditorShownTextTest : public EditorFixture {
protected:
    void SetUp() override { store->preferences_.animations = false; }
    void type(const QString& keys) { QTest::keyClicks(editor->textView(), keys); }
    void pasteHtml(const QString& html)
    {
        auto* data = new QMimeData;
        data->setHtml(html);
        data->setText(QStringLiteral("plain"));
        QGuiApplication::clipboard()->setMimeData(data);
        editor->textView()->paste();
    }
    void pastePlain(const QString& plain)
    {
        QGuiApplication::clipboard()->setText(plain);
        editor->textView()->paste();
    }
    void commit(const QString& composed)
    {
        QInputMethodEvent event;
        event.setCommitString(composed);
        QCoreApplication::sendEvent(editor->textView(), &event);
    }
    // The note as stored, opened in an editor of its own, shows what the
    // editor that made it shows.
    void expectShownAsStored()
    {
        editor->flush();
        BlockEditor reopened(store, noteID, nullptr, fixedNow);
        reopened.resize(editor->size());
        EXPECT_EQ(shown(*editor->document()), shown(*reopened.document()));
    }
    AttributedString storedText(std::size_t index) const { return stored().blocks.at(index).text.attributed(); }
};

TEST_F(BlockEditorShownTextTest, ARichPasteKeepsWhatANoteHoldsAndShowsJustThat)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("ab"))});
    caretAt(1);
    pasteHtml(QStringLiteral("<h1>Big</h1><p>a <b>bold</b> <i>it</i> <u>u</u> <s>s</s> "
                             "<span style='font-size:20pt;color:#ff0000;background:#00ff00'>red</span> "
                             "<a href='https://example.com/'>link</a></p>"
                             "<table border=1><tr><td>c1</td><td>c2</td></tr><tr><td>c3</td><td>c4</td></tr></table>"
                             "<p>img<img src='x.png' width=40 height=40>end</p>"));
    expectShownAsStored();

    std::vector<std::string> lines;
    for (const Block& block : stored().blocks)
        lines.push_back(block.text.attributed().string().toStdString());
    EXPECT_EQ(lines, (std::vector<std::string>{"aBig", "a bold it u s red link", "c1\tc2", "c3\tc4", "imgendb"}));
    EXPECT_EQ(storedText(2).attributesAt(2).font, TextFont::system(14)); // between the cells
    const TextAttributes big = storedText(0).attributesAt(1);
    ASSERT_TRUE(big.font);
    EXPECT_TRUE(big.font->bold);
    EXPECT_EQ(big.font->pointSize, 28); // twice the size of the text it went into
    const AttributedString line = storedText(1);
    const auto at = [&](const char* word) { return line.attributesAt(int(line.string().indexOf(QLatin1String(word)))); };
    EXPECT_TRUE(at("bold").font->bold);
    EXPECT_FALSE(at("a ").font->bold);
    EXPECT_TRUE(at("it").font->italic);
    EXPECT_EQ(at("u ").underlineStyle, 1);
    EXPECT_EQ(at("s ").strikethroughStyle, 1);
    EXPECT_EQ(at("red").font->pointSize, 20);
    EXPECT_EQ(at("red").foreground, TextColor::fixed(Rgba{1, 0, 0, 1}));
    EXPECT_EQ(line.customAt(int(line.string().indexOf(QLatin1String("link"))), links::attribute),
              CustomAttributeValue(QStringLiteral("https://example.com/")));
    EXPECT_EQ(at("link").underlineStyle, 0);
}

TEST_F(BlockEditorShownTextTest, TextTypedRightAfterAConversionTakesTheLookOfTheNewKind)
{
    struct Row {
        const char* how;
        BlockKind from;
        std::function<void(const QUuid&)> convert;
        TextFont typed;
    };
    const auto choose = [this](const QString& title) {
        return [this, title](const QUuid& id) {
            BlockMenuPanel* panel = editor->openBlockMenu(id, QRectF(0, 0, 10, 10), *editor->textView(), false);
            for (int i = 0; i < int(panel->items().size()); ++i) {
                if (panel->items()[std::size_t(i)]->text() == title)
                    panel->performChoice(i);
            }
        };
    };
    for (const Row& row : {
             Row{"block menu", BlockKind::Paragraph,
                 [this](const QUuid& id) {
                     std::unique_ptr<QMenu> menu(editor->menu(id));
                     for (QAction* action : menu->actions()) {
                         if (action->text() == QStringLiteral("H1 大标题"))
                             action->trigger();
                     }
                 },
                 TextFont::system(25, true)},
             Row{"panel", BlockKind::Paragraph, choose(QStringLiteral("H2 标题")), TextFont::system(21, true)},
             Row{"shortcut", BlockKind::H1,
                 [this](const QUuid&) {
                     QTest::keyClick(editor->textView(), Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
                 },
                 TextFont::system(14, true)}, // a heading made a todo keeps its bold face
         }) {
        SCOPED_TRACE(row.how);
        const Block line = makeBlock(row.from, QStringLiteral("Big title"));
        open({line});
        editor->textView()->setFocus();
        caretAt(9);
        row.convert(line.id);
        type(QStringLiteral(" more"));
        const AttributedString typed = storedText(0);
        EXPECT_EQ(typed.string(), QStringLiteral("Big title more"));
        EXPECT_EQ(typed.runs().size(), 1u) << stored().blocks[0].text.rtf().toStdString();
        EXPECT_EQ(typed.runs().back().attributes.font, row.typed);
        expectShownAsStored();
    }
}

TEST_F(BlockEditorShownTextTest, TextOverASelectionContinuesItsFirstCharacterWhicheverWayItWasMade)
{
    struct Row {
        const char* how;
        bool upwards;
        std::function<void()> enter;
    };
    for (const Row& row : {
             Row{"typed", false, [this] { type(QStringLiteral("x")); }},
             Row{"typed upwards", true, [this] { type(QStringLiteral("x")); }},
             Row{"composed", false, [this] { commit(QStringLiteral("x")); }},
             Row{"pasted", false, [this] { pastePlain(QStringLiteral("x")); }},
         }) {
        SCOPED_TRACE(row.how);
        Block intro = makeBlock(BlockKind::Paragraph, QStringLiteral("intro"));
        AttributedString red = intro.text.attributed();
        red.setForeground(0, red.length(), TextColor::fixed(Rgba{1, 0, 0, 1}));
        ParagraphStyle centred;
        centred.alignment = TextAlignment::Center;
        red.setParagraphStyle(0, red.length(), centred);
        intro.text = RichText(red);
        Block last = makeBlock(BlockKind::Todo, QStringLiteral("three"));
        last.todo->notes = RichText(QStringLiteral("remark"), TextFont::system(12));
        last.todo->notesExpanded = true;
        open({intro, makeBlock(BlockKind::Todo, QStringLiteral("one")), makeBlock(BlockKind::Todo, QStringLiteral("two")),
              last});
        editor->textView()->setFocus();
        const int end = int(text().size());
        if (row.upwards)
            select(end, 0);
        else
            QTest::keyClick(editor->textView(), Qt::Key_A, Qt::ControlModifier);
        row.enter();
        editor->flush();

        const Note note = stored();
        EXPECT_EQ(note.blocks.size(), 1u);
        EXPECT_EQ(note.blocks[0].id, intro.id);
        EXPECT_EQ(note.blocks[0].kind, BlockKind::Paragraph);
        const TextAttributes typed = storedText(0).attributesAt(0);
        EXPECT_EQ(storedText(0).string(), QStringLiteral("x"));
        EXPECT_EQ(typed.font, TextFont::system(14));
        EXPECT_EQ(typed.foreground, red.attributesAt(0).foreground);
        EXPECT_EQ(typed.paragraphStyle.value_or(ParagraphStyle{}).alignment, TextAlignment::Center);
        expectShownAsStored();
    }
}

TEST_F(BlockEditorShownTextTest, RemarksTypedOverAreGoneFromTheTodoAndComeBackWithUndo)
{
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("three"));
    todo.todo->notes = RichText(QStringLiteral("remark"), TextFont::system(12));
    todo.todo->notesExpanded = true;
    Block other = makeBlock(BlockKind::Todo, QStringLiteral("other"));
    other.todo->notes = RichText(QStringLiteral("kept"), TextFont::system(12));
    open({todo, other});
    // Opened by another writer: remarks the text never showed are not typed over.
    store->notes[0].blocks[1].todo->notesExpanded = true;
    editor->textView()->setFocus();
    select(2, int(text().indexOf(QStringLiteral("remark"))) + 2);
    type(QStringLiteral("x"));
    EXPECT_EQ(storedBlock(other.id)->todo->notes.attributed().string(), QStringLiteral("kept"));
    EXPECT_TRUE(storedBlock(other.id)->todo->notesExpanded);
    store->notes[0].blocks[1].todo->notesExpanded = false;
    expectShownAsStored();
    ASSERT_TRUE(storedBlock(todo.id));
    EXPECT_EQ(storedBlock(todo.id)->text.attributed().string(), QStringLiteral("thxmark"));
    EXPECT_FALSE(storedBlock(todo.id)->todo->notesExpanded);
    EXPECT_TRUE(storedBlock(todo.id)->todo->notes.attributed().isEmpty());

    editor->undo();
    editor->flush();
    EXPECT_EQ(storedBlock(todo.id)->text.attributed().string(), QStringLiteral("three"));
    EXPECT_TRUE(storedBlock(todo.id)->todo->notesExpanded);
    EXPECT_EQ(storedBlock(todo.id)->todo->notes.attributed().string(), QStringLiteral("remark"));
    expectShownAsStored();
}

TEST_F(BlockEditorShownTextTest, TextTypedIntoAnEmptyLineTakesTheNotesTypingStyleThroughTheFormatBar)
{
    store->preferences_.fontSize = 16;
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("ab")), makeBlock(BlockKind::Paragraph, QString())});
    caretAt(3); // the empty line, as a click puts the caret there
    editor->toggleBold();
    type(QStringLiteral("c"));
    const AttributedString typed = storedText(1);
    ASSERT_EQ(typed.string(), QStringLiteral("c"));
    EXPECT_EQ(typed.attributesAt(0).font, TextFont::system(16, true));
    EXPECT_EQ(typed.attributesAt(0).foreground, TextColor::dynamicText());
    expectShownAsStored();
}

} // namespace
} // namespace quorrin
