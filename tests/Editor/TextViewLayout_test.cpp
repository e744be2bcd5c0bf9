#include "Editor/BlockEditor.h"

#include "Editor/BlockTextView.h"

#include "EditorTestSupport.h"
#include "Editor/ScrollOverflowHint.h"
#include "Widgets/OverlayScroller.h"
#include "Support/PaintedArea.h"

#include <gtest/gtest.h>

#include <limits>

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTest>

namespace quorrin {
namespace {

using namespace quorrin::testing;

class TextViewLayoutTest : public EditorFixture {
protected:
    double contentHeight() const { return editor->document()->documentLayout()->documentSize().height(); }
    int visibleHeight() const { return editor->textView()->viewport()->height(); }
};

// A click in the empty area near the bottom of a half-empty note used to fill
// more lines than fit (the estimate ignored the empty line after the text and
// the bottom margin), so the note grew past its view: a scroll bar appeared
// and focusing the new line scrolled the heading out of sight.
TEST_F(TextViewLayoutTest, ClicksBelowTheTextNeverGrowTheNotePastItsView)
{
    open({makeBlock(BlockKind::H1, QStringLiteral("Title")), makeBlock(BlockKind::Paragraph, QStringLiteral("one"))});
    editor->show();
    ASSERT_GT(visibleHeight(), 200);
    for (const double y : {visibleHeight() - 1.0, visibleHeight() - 20.0, visibleHeight() / 2.0}) {
        editor->prepareWritableLine(QPointF(40, y));
        EXPECT_LE(contentHeight(), visibleHeight()) << y;
        EXPECT_EQ(editor->textView()->verticalScrollBar()->value(), 0) << y;
        EXPECT_FALSE(editor->scroller()->isScrollable()) << y;
        EXPECT_TRUE(editor->scrollHint()->isHidden()) << y;
    }
    // Further clicks in the same place land on the lines made: nothing more.
    const std::size_t blocks = stored().blocks.size();
    EXPECT_GT(blocks, 2u);
    EXPECT_FALSE(editor->prepareWritableLine(QPointF(40, visibleHeight() - 1.0)));
    EXPECT_EQ(stored().blocks.size(), blocks);
}

TEST_F(TextViewLayoutTest, ScrollerOnlyForContentTallerThanTheView)
{
    open({makeBlock(BlockKind::Paragraph, QStringLiteral("short"))});
    editor->show();
    EXPECT_FALSE(editor->scroller()->isScrollable());
    EXPECT_EQ(editor->textView()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    std::vector<Block> many;
    for (int i = 0; i < 60; ++i)
        many.push_back(makeBlock(BlockKind::Paragraph, QStringLiteral("line %1").arg(i)));
    open(many);
    editor->show();
    EXPECT_TRUE(editor->scroller()->isScrollable());
    EXPECT_TRUE(editor->scroller()->isHidden());
    editor->textView()->verticalScrollBar()->setValue(editor->textView()->verticalScrollBar()->maximum());
    EXPECT_FALSE(editor->scroller()->isHidden());
    EXPECT_FALSE(editor->scrollHint()->isHidden());
}

// The badge over scrolled-away content used to lie on the first visible line
// and was too small for its own text, which spilled over the line around it.
TEST_F(TextViewLayoutTest, TheOverflowBadgeHasABandOfItsOwnAboveTheText)
{
    std::vector<Block> many;
    for (int i = 0; i < 60; ++i)
        many.push_back(makeBlock(BlockKind::Paragraph, QStringLiteral("line %1").arg(i)));
    open(many);
    editor->show();
    ScrollOverflowHint& hint = *editor->scrollHint();
    const QWidget& viewport = *editor->textView()->viewport();
    const int viewportTop = viewport.mapTo(editor.get(), QPoint(0, 0)).y();
    QScrollBar& scroll = *editor->textView()->verticalScrollBar();

    scroll.setValue(120);
    ASSERT_FALSE(hint.isHidden());
    const int band = viewport.mapTo(editor.get(), QPoint(0, 0)).y() - viewportTop;
    EXPECT_EQ(band, hint.bandHeight());
    EXPECT_GE(band, hint.height() + 2);
    EXPECT_EQ(scroll.value(), 120); // the text under the band did not move away
    EXPECT_FALSE(hint.isHidden());

    scroll.setValue(0); // back at the top: no badge, no band
    EXPECT_TRUE(hint.isHidden());
    EXPECT_EQ(viewport.mapTo(editor.get(), QPoint(0, 0)).y(), viewportTop);
}

// A note of many short lines used to be laid out whole, synchronously, as it
// was shown (for its first line's place, the scroll hint and the gutter),
// stalling the application for seconds. Only what is in view is laid out
// now; the rest follows in the event loop's idle steps.
TEST_F(TextViewLayoutTest, ALongNoteIsShownLaidOutOnlyAsFarAsTheView)
{
    QStringList lines;
    for (int i = 0; i < 20000; ++i)
        lines << QStringLiteral("line %1").arg(i);
    open({makeBlock(BlockKind::Paragraph, lines.join(QLatin1Char('\n')))});
    editor->show();
    editor->grab(); // paints the text and the gutter
    const QTextBlock last = editor->document()->lastBlock();
    const auto laidOutToTheEnd = [&] { return last.layout()->lineCount() > 0; };
    const TextRun first = editor->ranges().front();
    const QRectF firstLine = editor->firstLineRect(first.start, first.length);
    ASSERT_FALSE(laidOutToTheEnd());

    QScrollBar& scroll = *editor->textView()->verticalScrollBar();
    scroll.setValue(100);
    EXPECT_FALSE(editor->scrollHint()->isHidden()) << "the text reaches below the view";
    EXPECT_EQ(editor->block(firstLine.center().y()), first.blockID);
    EXPECT_FALSE(laidOutToTheEnd());

    contentHeight(); // laid out whole: the places found before stand
    EXPECT_EQ(editor->firstLineRect(first.start, first.length), firstLine);
    EXPECT_FALSE(editor->scrollHint()->isHidden());
}

// Each part of a long note shown in parts goes in below those before it
// without laying them out: where it goes is kept without Qt finding that
// place on its line, which lays out all the text above it.
TEST_F(TextViewLayoutTest, ANoteShownInPartsIsLaidOutOnlyAsFarAsTheView)
{
    QStringList lines;
    for (int i = 0; i < 20000; ++i)
        lines << QStringLiteral("line %1").arg(i);
    open({makeBlock(BlockKind::Paragraph, lines.join(QLatin1Char('\n')))});
    editor->paragraphsPerPart = 2000;
    editor->render(true);
    editor->show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(editor->isShowingInParts());
    EXPECT_FALSE(editor->document()->lastBlock().layout()->lineCount() > 0);
}

// The first write-back of a note made from many lines marks every paragraph
// with a block of its own, and Qt used to lay all of them out again at once.
// The text is laid out again in idle steps now, at once only down to the
// view: the reader's place, the caret and where everything shows stay put.
TEST_F(TextViewLayoutTest, TheFirstWriteBackOfALongNoteKeepsTheViewScrolledWhereItWas)
{
    // Long lines first: the lines laid out first tell little of the height of the rest.
    QStringList lines;
    for (int i = 0; i < 20000; ++i)
        lines << (i < 50 ? QStringLiteral("word ").repeated(100) : QStringLiteral("line %1").arg(i));
    open({makeBlock(BlockKind::Paragraph, lines.join(QLatin1Char('\n')))});
    editor->paragraphsPerPart = std::numeric_limits<std::size_t>::max(); // shown whole
    editor->render(true);
    editor->show();
    BlockTextView& view = *editor->textView();
    QScrollBar& scroll = *view.verticalScrollBar();
    const double height = contentHeight(); // laid out whole, as after a while in the event loop
    scroll.setValue(scroll.maximum() / 2);
    const int scrolledTo = scroll.value();
    ASSERT_GT(scrolledTo, 0);
    const QPoint middle = view.viewport()->rect().center();
    caretAt(view.cursorForPosition(middle).position());
    const int caret = view.textCursor().position();
    const QRect caretRect = view.cursorRect();
    const QTextBlock last = editor->document()->lastBlock();

    editor->marksPerTurn = std::numeric_limits<std::size_t>::max(); // all lines marked in one go
    editor->flush();
    ASSERT_EQ(editor->ranges().size(), 20000u) << "every line is a block of its own";
    EXPECT_EQ(last.layout()->lineCount(), 0) << "the end of the text is laid out later";
    EXPECT_EQ(scroll.value(), scrolledTo);
    EXPECT_EQ(view.textCursor().position(), caret);
    EXPECT_EQ(view.cursorRect(), caretRect);
    EXPECT_EQ(view.cursorForPosition(middle).position(), caret);
    QCoreApplication::processEvents(); // the layout's next step tells the view the text's size
    EXPECT_EQ(scroll.value(), scrolledTo);
    EXPECT_EQ(contentHeight(), height);
    EXPECT_EQ(scroll.value(), scrolledTo);
    EXPECT_EQ(view.cursorRect(), caretRect);
}

// Every paragraph used to be inserted plain and then given its layout in a
// second edit, laying out and re-highlighting the whole text again. It is
// inserted with its layout now: the layout pass finds nothing to change.
TEST_F(TextViewLayoutTest, ParagraphsAreShownWithTheirLayoutInTheOneInsert)
{
    Block todo = makeBlock(BlockKind::Todo, QStringLiteral("buy milk"));
    // Paragraphs of remarks in styles of their own keep them.
    AttributedString remarks = RichText(QStringLiteral("remark\nand more\nand last"), TextFont::system(12)).attributed();
    remarks.setParagraphStyle(7, 9, ParagraphStyle{TextAlignment::Center, 30, 30, 0, 0, 0, 0});
    todo.todo->notes = RichText(remarks);
    todo.todo->notesExpanded = true;
    open({makeBlock(BlockKind::H1, QStringLiteral("Title")), makeBlock(BlockKind::Paragraph, QStringLiteral("one\ntwo")),
          todo, makeBlock(BlockKind::Bullet, QStringLiteral("point"))});
    const QTextBlock remark = editor->document()->findBlock(editor->ranges()[3].start);
    ASSERT_EQ(remark.next().text(), QStringLiteral("and more"));
    EXPECT_EQ(remark.blockFormat().leftMargin(), 44);
    EXPECT_EQ(remark.next().blockFormat().leftMargin(), 44 + 30);
    EXPECT_EQ(remark.next().blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(remark.next().next().blockFormat().leftMargin(), 44);
    int changes = 0;
    QObject::connect(editor->document(), &QTextDocument::contentsChange, editor.get(), [&] { ++changes; });
    editor->applyParagraphLayout(stored());
    EXPECT_EQ(changes, 0);
}

TEST(ScrollOverflowHint, TheBadgeHoldsItsWholeTextOnOpaquePaper)
{
    ScrollOverflowHint hint;
    const QFontMetrics metrics(hint.font());
    EXPECT_GE(hint.sizeHint().width(), metrics.horizontalAdvance(ScrollOverflowHint::text) + 8);
    EXPECT_GE(hint.sizeHint().height(), metrics.height());
    EXPECT_EQ(hint.size(), hint.sizeHint());

    hint.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&hint));
    testing::PaintedArea painted(hint);
    painted.repainted();
    hint.setPaperColor(QColor(255, 247, 209));
    EXPECT_FALSE(painted.repainted().isEmpty()) << "a new paper colour shows at once";
    QImage image(hint.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black); // the text under the badge
    hint.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    // Beside the words the badge is the paper, with 3 % of what lies under it.
    const QColor beside = image.pixelColor(ScrollOverflowHint::horizontalPadding / 2 + 2, hint.height() / 2);
    EXPECT_NEAR(beside.red(), 247, 3);
    EXPECT_NEAR(beside.green(), 240, 3);
    EXPECT_NEAR(beside.blue(), 203, 3);
}

} // namespace
} // namespace quorrin
