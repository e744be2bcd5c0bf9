// What the editor shows after an edit is what the stored note shows when it
// is opened again: the same characters in the same formats.
#include "Editor/BlockEditor.h"

#include "Editor/BlockMenuPanel.h"
#include "Editor/BlockTextView.h"
#include "Editor/LinkDetection.h"
#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextList>
#include <QTextTable>

namespace quorrin {
namespace {

using namespace quorrin::testing;

// Each paragraph as laid out ("¶" margins, lists, tables), then its visible
// characters, each stretch that looks alike after "|size b i u s colour|".
QString shown(const QTextDocument& document)
{
    QString out;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        if (block != document.firstBlock() && block == document.lastBlock() && block.length() == 1)
            break; // the empty line after a final line break is no paragraph
        const QTextBlockFormat f = block.blockFormat();
        out += QStringLiteral("\n¶%1 %2 %3 %4 %5 %6 ").arg(f.leftMargin()).arg(f.textIndent()).arg(f.rightMargin())
                   .arg(f.bottomMargin()).arg(block.textList() != nullptr).arg(QTextCursor(block).currentTable() != nullptr);
        QString last;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString characters = it.fragment().text().remove(QChar(0x200B)); // U+200B shows nothing
            const QTextCharFormat c = it.fragment().charFormat();
            const QFont font = c.font().resolve(document.defaultFont());
            const QString look = QStringLiteral("|%1 %2%3%4%5 %6%7|").arg(font.pointSizeF()).arg(font.bold()).arg(font.italic())
                .arg(font.underline()).arg(font.strikeOut()).arg(c.foreground().color().name(QColor::HexArgb))
                .arg(c.isImageFormat() ? QStringLiteral(" picture") : QString());
            if (!characters.isEmpty() && look != last)
                out += (last = look);
            out += characters;
        }
    }
    return out;
}

class BlockEditorShownTextTest : public EditorFixture {
protected:
    void SetUp() override { store->preferences_.animations = false; }
    void type(const QString& keys) { QTest::keyClicks(editor->textView(), keys); }
    void paste(QMimeData* data)
    {
        QGuiApplication::clipboard()->setMimeData(data);
        editor->textView()->paste();
    }
    // The note as stored, opened in an editor of its own, shows what the
    // editor that made it shows.
    void expectShownAsStored()
    {
        editor->flush();
        BlockEditor reopened(store, noteID, nullptr, fixedNow);
        reopened.resize(editor->size());
        EXPECT_EQ(shown(*editor->document()).toStdString(), shown(*reopened.document()).toStdString());
    }
    AttributedString storedText(std::size_t index) const { return stored().blocks.at(index).text.attributed(); }
};

TEST_F(BlockEditorShownTextTest, ARichPasteKeepsWhatANoteHoldsAndShowsJustThat)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("ab"))});
    caretAt(1);
    auto* data = new QMimeData;
    data->setText(QStringLiteral("plain"));
    data->setHtml(QStringLiteral("<h1>Big</h1><p>a <b>bold</b> <i>it</i> <u>u</u> <s>s</s> <span style='color:#ff0000;"
                                 "background:#00ff00'>red</span> <a href='https://example.com/'>web</a> "
                                 "<a href='javascript:x()'>script</a></p><table border=1><tr><td>c1</td><td>c2</td>"
                                 "</tr><tr><td>c3</td><td>c4</td></tr></table><p>img<img src='x.png' width=40>end</p>"));
    paste(data);
    expectShownAsStored();

    std::vector<std::string> lines;
    for (const Block& block : stored().blocks)
        lines.push_back(block.text.attributed().string().toStdString());
    EXPECT_EQ(lines, (std::vector<std::string>{"aBig", "a bold it u s red web script", "c1\tc2", "c3\tc4", "imgendb"}));
    EXPECT_EQ(storedText(0).attributesAt(1).font, TextFont::system(28, true)); // twice the text it went into
    EXPECT_EQ(storedText(2).attributesAt(2).font, TextFont::system(14));       // between the cells
    const AttributedString line = storedText(1);
    const auto at = [&](const char* word) { return line.attributesAt(int(line.string().indexOf(QLatin1String(word)))); };
    EXPECT_EQ(at("bold").font, TextFont::system(14, true));
    EXPECT_TRUE(at("it").font->italic);
    EXPECT_EQ(std::pair(at("u ").underlineStyle, at("s ").strikethroughStyle), std::pair(1, 1));
    EXPECT_EQ(at("red").foreground, TextColor::fixed(Rgba{1, 0, 0, 1}));
    EXPECT_EQ(at("web").custom.at(links::attribute), CustomAttributeValue(QStringLiteral("https://example.com/")));
    EXPECT_FALSE(at("script").custom.count(links::attribute)); // no link the note would not open
}

TEST_F(BlockEditorShownTextTest, TextTypedRightAfterAConversionTakesTheLookOfTheNewKind)
{
    struct Row {
        const char* how;
        BlockKind from;
        std::function<void(const QUuid&)> convert;
        TextFont typed;
    };
    const auto fromPanel = [this](const QUuid& id) {
        BlockMenuPanel* panel = editor->openBlockMenu(id, QRectF(0, 0, 10, 10), *editor->textView(), false);
        for (int i = 0; i < int(panel->items().size()); ++i) {
            if (panel->items()[std::size_t(i)]->text() == QStringLiteral("H2 标题"))
                panel->performChoice(i);
        }
    };
    for (const Row& row : {
             Row{"block menu", BlockKind::Paragraph,
                 [this](const QUuid& id) {
                     delete editor->menu(id);
                     editor->menuConvert(QStringLiteral("h1"));
                 },
                 TextFont::system(25, true)},
             Row{"panel", BlockKind::Paragraph, fromPanel, TextFont::system(21, true)},
             Row{"shortcut", BlockKind::H1,
                 [this](const QUuid&) {
                     QTest::keyClick(editor->textView(), Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
                 },
                 TextFont::system(14, true)}, // a heading made a todo keeps its bold face
         }) {
        SCOPED_TRACE(row.how);
        const Block line = makeBlock(row.from, QStringLiteral("Big title"));
        open({line});
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
    const auto commit = [this] {
        QInputMethodEvent event;
        event.setCommitString(QStringLiteral("x"));
        QCoreApplication::sendEvent(editor->textView(), &event);
    };
    const auto pastePlain = [this] {
        auto* data = new QMimeData;
        data->setText(QStringLiteral("x"));
        paste(data);
    };
    const auto typeX = [this] { type(QStringLiteral("x")); };
    for (const auto& [how, upwards, enter] : std::vector<std::tuple<const char*, bool, std::function<void()>>>{
             {"typed", false, typeX}, {"typed upwards", true, typeX}, {"composed", false, commit}, {"pasted", false, pastePlain}}) {
        SCOPED_TRACE(how);
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
        open({intro, makeBlock(BlockKind::Todo, QStringLiteral("one")), makeBlock(BlockKind::Todo, QStringLiteral("two")), last});
        if (upwards)
            select(int(text().size()), 0);
        else
            QTest::keyClick(editor->textView(), Qt::Key_A, Qt::ControlModifier);
        enter();
        expectShownAsStored();

        const Note note = stored();
        EXPECT_EQ(note.blocks.size(), 1u);
        EXPECT_EQ(std::pair(note.blocks[0].id, note.blocks[0].kind), std::pair(intro.id, BlockKind::Paragraph));
        const TextAttributes typed = storedText(0).attributesAt(0);
        EXPECT_EQ(storedText(0).string(), QStringLiteral("x"));
        EXPECT_EQ(std::pair(typed.font, typed.foreground), std::pair(red.attributesAt(0).font, red.attributesAt(0).foreground));
        EXPECT_EQ(typed.paragraphStyle.value_or(ParagraphStyle{}).alignment, TextAlignment::Center);
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
    select(2, int(text().indexOf(QStringLiteral("remark"))) + 2);
    type(QStringLiteral("x"));
    EXPECT_EQ(storedBlock(other.id)->todo->notes, other.todo->notes);
    store->notes[0].blocks[1].todo->notesExpanded = false;
    expectShownAsStored();
    EXPECT_EQ(storedBlock(todo.id)->text.attributed().string(), QStringLiteral("thxmark"));
    EXPECT_EQ(storedBlock(todo.id)->todo->notesExpanded, false);
    EXPECT_TRUE(storedBlock(todo.id)->todo->notes.attributed().isEmpty());

    editor->undo();
    expectShownAsStored();
    EXPECT_EQ(storedBlock(todo.id)->text.attributed().string(), QStringLiteral("three"));
    EXPECT_EQ(storedBlock(todo.id)->todo->notesExpanded, true);
    EXPECT_EQ(storedBlock(todo.id)->todo->notes.attributed().string(), QStringLiteral("remark"));
}

TEST_F(BlockEditorShownTextTest, TextTypedIntoAnEmptyLineTakesTheNotesTypingStyleThroughTheFormatBar)
{
    store->preferences_.fontSize = 16;
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("ab")), makeBlock(BlockKind::Paragraph, QString())});
    caretAt(3); // the empty line, as a click puts the caret there
    editor->toggleBold();
    type(QStringLiteral("c"));
    expectShownAsStored();
    EXPECT_EQ(storedText(1).string(), QStringLiteral("c"));
    EXPECT_EQ(storedText(1).attributesAt(0).font, TextFont::system(16, true));
    EXPECT_EQ(storedText(1).attributesAt(0).foreground, TextColor::dynamicText());
}

TEST_F(BlockEditorShownTextTest, ANoteShownInPartsIsLaidOutAsItsRunsSayWithATodosShelfBelowItsRemarks)
{
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("todo"));
    todo.todo->notes = RichText(QStringLiteral("r1\nr2"), TextFont::system(12));
    todo.todo->notesExpanded = true;
    std::vector<Block> blocks{todo};
    for (int i = 0; i < 8; ++i)
        blocks.push_back(makeBlock(BlockKind::Paragraph, QString::number(i)));
    open(blocks);
    editor->shelfHeight = [](const QUuid&, bool isTodo) { return isTodo ? 30.0 : 0.0; };
    editor->paragraphsPerPart = 2;
    editor->render(true);
    ASSERT_TRUE(editor->isShowingInParts());
    editor->showWholeText();
    const QString inParts = shown(*editor->document());
    // Laid out again from the runs shown, paragraph by paragraph.
    editor->applyParagraphLayout(*editor->rendered());
    EXPECT_EQ(inParts.toStdString(), shown(*editor->document()).toStdString());
}

} // namespace
} // namespace quorrin
