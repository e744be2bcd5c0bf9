#include "Widgets/OverlayScroller.h"

#include "Support/Eventually.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QScrollBar>

namespace quorrin {
namespace {

TEST(OverlayScrollerGeometry, KnobFollowsTheVisibleShare)
{
    using overlayscroller::knobRect;
    EXPECT_TRUE(knobRect(10, 200, 200, 200, 0).isEmpty()); // content fits
    EXPECT_TRUE(knobRect(10, 200, 200, 150, 0).isEmpty());
    EXPECT_EQ(knobRect(10, 200, 200, 400, 0), QRectF(0, 0, 10, 100));
    EXPECT_EQ(knobRect(10, 200, 200, 400, 200), QRectF(0, 100, 10, 100)); // at the end
    EXPECT_EQ(knobRect(10, 200, 200, 400, 900), QRectF(0, 100, 10, 100)); // clamped
    EXPECT_EQ(knobRect(10, 200, 200, 100000, 0).height(), 24);             // never thinner than the minimum
    EXPECT_DOUBLE_EQ(overlayscroller::offsetForKnobTop(50, 200, 200, 400), 100);
    EXPECT_DOUBLE_EQ(overlayscroller::offsetForKnobTop(-5, 200, 200, 400), 0);
    EXPECT_DOUBLE_EQ(overlayscroller::offsetForKnobTop(500, 200, 200, 400), 200);
}

TEST(OverlayScroller, HiddenAtRestShownWhileALongTextScrolls)
{
    QPlainTextEdit area;
    area.resize(200, 150);
    auto* scroller = new OverlayScroller(&area);
    area.show();
    EXPECT_EQ(area.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    area.setPlainText(QStringLiteral("short"));
    scroller->flash();
    EXPECT_FALSE(scroller->isScrollable());
    EXPECT_TRUE(scroller->isHidden()); // a short text never shows it

    area.setPlainText(QStringLiteral("line\n").repeated(200));
    EXPECT_TRUE(scroller->isScrollable());
    EXPECT_TRUE(scroller->isHidden()); // at rest
    area.verticalScrollBar()->setValue(20);
    EXPECT_FALSE(scroller->isHidden());
    EXPECT_EQ(scroller->geometry().right(), area.viewport()->geometry().right());
    EXPECT_TRUE(testing::eventually([&] { return scroller->isHidden(); })); // at rest again

    area.setPlainText(QStringLiteral("short again"));
    EXPECT_TRUE(scroller->isHidden());
}

// A text view that keeps a band free at its top narrows its view: the
// scroller runs beside the view, not over the band.
TEST(OverlayScroller, FollowsTheViewWhenTheAreaKeepsMarginsAroundIt)
{
    class BandedText final : public QPlainTextEdit {
    public:
        void setBand(int height) { setViewportMargins(0, height, 0, 0); }
    };
    BandedText area;
    area.resize(200, 150);
    auto* scroller = new OverlayScroller(&area);
    area.show();
    area.setPlainText(QStringLiteral("line\n").repeated(200));
    area.verticalScrollBar()->setValue(20);
    area.setBand(23);
    EXPECT_EQ(scroller->geometry().top(), area.viewport()->geometry().top());
    EXPECT_EQ(scroller->geometry().bottom(), area.viewport()->geometry().bottom());
}

} // namespace
} // namespace quorrin
