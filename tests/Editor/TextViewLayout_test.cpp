#include "Editor/BlockEditor.h"

#include "EditorTestSupport.h"
#include "Editor/ScrollOverflowHint.h"
#include "Widgets/OverlayScroller.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>

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

} // namespace
} // namespace quorrin
