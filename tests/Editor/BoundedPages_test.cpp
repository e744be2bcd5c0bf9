#include "Editor/BoundedPages.h"

#include <gtest/gtest.h>

#include <QTextDocument>
#include <QTextEdit>

using namespace quorrin;

namespace {

// The view makes its page unbounded again whenever its width changes; a text
// taller than Qt's fixed-point "unbounded" then never finished its layout.
TEST(BoundedPages, AManyParagraphTextKeepsBoundedPagesThroughAResize)
{
    QTextEdit view;
    new BoundedPages(view);
    view.resize(300, 200);
    view.show();
    view.setPlainText(QStringLiteral("a\n").repeated(BoundedPages::paragraphThreshold - 1));
    EXPECT_LT(view.document()->pageSize().height(), 0);

    view.setPlainText(QStringLiteral("a\n").repeated(BoundedPages::paragraphThreshold));
    EXPECT_EQ(view.document()->pageSize().height(), BoundedPages::pageHeight);

    view.resize(420, 200);
    EXPECT_EQ(view.document()->pageSize().height(), BoundedPages::pageHeight);
    EXPECT_EQ(view.document()->pageSize().width(), view.viewport()->width());
}

} // namespace
