#include "Editor/LongRunWrapping.h"

#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextEdit>

using namespace quorrin;

namespace {

const QString longRun(LongRunWrapping::runLimit + 1, u'a');

TEST(LongRunWrapping, ALongRunWrapsAnywhereUntilTheWholeTextIsReplacedByOneWithout)
{
    QTextEdit view;
    auto* wrapping = new LongRunWrapping(view);
    view.setPlainText(QStringLiteral("short words only"));
    EXPECT_EQ(view.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);

    view.setPlainText(QStringLiteral("first line\n") + longRun);
    EXPECT_TRUE(wrapping->wrapsAnywhere());
    EXPECT_EQ(view.wordWrapMode(), QTextOption::WrapAnywhere);

    // An edit elsewhere does not look at the whole text again.
    QTextCursor cursor(view.document());
    cursor.insertText(QStringLiteral("more "));
    EXPECT_TRUE(wrapping->wrapsAnywhere());

    view.setPlainText(QStringLiteral("short words again"));
    EXPECT_FALSE(wrapping->wrapsAnywhere());
    EXPECT_EQ(view.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

TEST(LongRunWrapping, AnEditThatJoinsTwoRunsIntoOneTooLongWrapsAnywhere)
{
    QTextEdit view;
    auto* wrapping = new LongRunWrapping(view);
    const QString half(LongRunWrapping::runLimit / 2 + 1, u'a');
    view.setPlainText(half + u' ' + half);
    ASSERT_FALSE(wrapping->wrapsAnywhere());

    QTextCursor space(view.document());
    space.setPosition(int(half.size()));
    space.deleteChar();
    EXPECT_TRUE(wrapping->wrapsAnywhere());
}

} // namespace
