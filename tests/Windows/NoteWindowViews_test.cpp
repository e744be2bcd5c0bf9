#include "Windows/NoteBackground.h"
#include "Windows/StickyPanel.h"
#include "Windows/TitleTextField.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

using namespace quorrin;

namespace {

struct Strip {
    NoteBackground background;
    int drags = 0;

    Strip()
    {
        background.resize(300, 200);
        background.onWindowDrag = [this](QMouseEvent*) { ++drags; };
        background.show();
    }
};

} // namespace

TEST(NoteBackground, PressExactly23BelowTheTopIsInTheDragStrip)
{
    Strip s;
    QTest::mouseClick(&s.background, Qt::LeftButton, {}, QPoint(150, 23));
    EXPECT_EQ(s.drags, 1);
    QTest::mouseClick(&s.background, Qt::LeftButton, {}, QPoint(150, 24));
    EXPECT_EQ(s.drags, 1);
}

TEST(NoteBackground, PrimaryPillAnimatesUnlessMotionIsReduced)
{
    NoteBackground background;
    background.resize(300, 200);
    background.setPrimary(true);
    EXPECT_TRUE(background.isPrimaryAccentAnimating());
    QTRY_COMPARE_WITH_TIMEOUT(background.primaryAccentOpacity(), 1.0, 2000);
    EXPECT_DOUBLE_EQ(background.primaryAccentScaleX(), 1);

    background.prefersReducedMotion = [] { return true; };
    background.setPrimary(false);
    EXPECT_FALSE(background.isPrimaryAccentAnimating());
    EXPECT_DOUBLE_EQ(background.primaryAccentOpacity(), 0);
    EXPECT_DOUBLE_EQ(background.primaryAccentScaleX(), 1);
}

TEST(NoteBackground, AccentChangeReappliesThePillWithoutAnimation)
{
    NoteBackground background;
    background.setPrimary(true);
    background.setAccentColor(Qt::red);
    EXPECT_FALSE(background.isPrimaryAccentAnimating());
    EXPECT_DOUBLE_EQ(background.primaryAccentOpacity(), 1);
}

TEST(StickyPanel, MouseDownHookRunsFirstAndMayConsume)
{
    StickyPanel panel;
    panel.resize(200, 120);
    auto* child = new TitleTextField(&panel);
    child->setGeometry(0, 0, 200, 120);
    panel.show();
    bool consume = true;
    int offered = 0;
    panel.onWindowDragMouseDown = [&](QMouseEvent*) {
        ++offered;
        return consume;
    };
    int edits = 0;
    child->onEdit = [&] { ++edits; };

    QTest::mouseClick(panel.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50));
    QCoreApplication::processEvents();
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(edits, 0);

    consume = false;
    QTest::mouseClick(panel.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50), 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(offered, 2);
    EXPECT_EQ(edits, 1);
}

TEST(StickyPanel, EscapeDoesNotClose)
{
    StickyPanel panel;
    panel.show();
    QTest::keyClick(&panel, Qt::Key_Escape);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(panel.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(panel.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
}

TEST(StickyPanel, FrameRoundTripsInModelCoordinatesEvenOffScreen)
{
    StickyPanel panel;
    const QRectF offScreen(-150, -90, 300, 200);
    panel.setFrame(offScreen);
    EXPECT_EQ(panel.frame(), offScreen);
}
