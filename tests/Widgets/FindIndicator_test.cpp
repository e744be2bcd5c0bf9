#include "Widgets/FindIndicator.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTextEdit>

using namespace quorrin;

TEST(FindIndicator, HighlightsTheFoundRangeForAMoment)
{
    QTextEdit view;
    view.setPlainText("find the word here");
    QTextCursor found(view.document());
    found.setPosition(9);
    found.setPosition(13, QTextCursor::KeepAnchor);
    FindIndicator::show(view, found, std::chrono::milliseconds(30));
    ASSERT_EQ(view.extraSelections().size(), 1);
    EXPECT_EQ(view.extraSelections().front().cursor.selectedText(), "word");
    EXPECT_EQ(view.toPlainText(), "find the word here");
    // Gone once its moment is over (a loaded machine may take longer to say so).
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.extraSelections().isEmpty(); }, 5000));
}
