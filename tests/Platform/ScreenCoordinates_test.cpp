#include "Platform/ScreenCoordinates.h"
#include "Platform/WindowLevel.h"

#include <gtest/gtest.h>

#include <QWidget>

using namespace quorrin;

TEST(ScreenCoordinates, FlipsAboutThePrimaryScreen)
{
    const ScreenCoordinates single(QRectF(0, 0, 1920, 1080));
    EXPECT_EQ(single.primaryTop(), 1080);
    EXPECT_EQ(single.toModel(QPointF(100, 80)), QPointF(100, 1000));
    EXPECT_EQ(single.toQt(QPointF(100, 1000)), QPointF(100, 80));
    EXPECT_EQ(single.toModel(QRectF(100, 80, 300, 200)), QRectF(100, 800, 300, 200));
    EXPECT_EQ(single.toQt(QRectF(100, 800, 300, 200)), QRectF(100, 80, 300, 200));
}

TEST(ScreenCoordinates, PrimaryOffsetInTheVirtualDesktop)
{
    // A second screen left of the primary, the primary 200 px lower.
    const ScreenCoordinates c(QRectF(1280, 200, 1920, 1080));
    EXPECT_EQ(c.toModel(QPointF(1280, 1280)), QPointF(0, 0));
    EXPECT_EQ(c.toModel(QRectF(1280, 200, 1920, 1080)), QRectF(0, 0, 1920, 1080));
    EXPECT_EQ(c.toModel(QRectF(0, 0, 1280, 1024)), QRectF(-1280, 256, 1280, 1024));
    const QRectF model(-1000, 300, 400, 250);
    EXPECT_EQ(c.toModel(c.toQt(model)), model);
}

TEST(ScreenCoordinates, WithoutAScreenFlipsAboutZero)
{
    EXPECT_EQ(ScreenCoordinates().toModel(QPointF(5, 7)), QPointF(5, -7));
}

TEST(WindowLevelAdapter, MapsBandsToStackingHints)
{
    using namespace WindowLevelAdapter;
    EXPECT_EQ(bandFor(windowLevel::floating), WindowBand::Top);
    EXPECT_EQ(bandFor(windowLevel::normal), WindowBand::Normal);
    EXPECT_EQ(bandFor(windowLevel::desktopIcon + 1), WindowBand::Bottom);

    const Qt::WindowFlags base = Qt::Tool | Qt::FramelessWindowHint;
    const Qt::WindowFlags top = flagsFor(base | Qt::WindowStaysOnBottomHint, 4);
    EXPECT_EQ(top, base | Qt::WindowStaysOnTopHint);
    EXPECT_EQ(flagsFor(top, windowLevel::desktopIcon + 1), base | Qt::WindowStaysOnBottomHint);
    EXPECT_EQ(flagsFor(top, windowLevel::normal), base);
}

TEST(WindowLevelAdapter, GoesFromOneOuterBandToTheOtherThroughTheNormalBand)
{
    using namespace WindowLevelAdapter;
    const Qt::WindowFlags base = Qt::Window | Qt::FramelessWindowHint;
    const Qt::WindowFlags bottom = base | Qt::WindowStaysOnBottomHint;
    const Qt::WindowFlags top = base | Qt::WindowStaysOnTopHint;
    using Steps = QList<Qt::WindowFlags>;
    EXPECT_EQ(flagSteps(bottom, windowLevel::floating), (Steps{base, top}));
    EXPECT_EQ(flagSteps(top, windowLevel::desktopIcon + 1), (Steps{base, bottom}));
    EXPECT_EQ(flagSteps(base, windowLevel::floating), Steps{top});
    EXPECT_EQ(flagSteps(top, windowLevel::normal), Steps{base});
    EXPECT_EQ(flagSteps(top, windowLevel::modalPanel), Steps{});
}

TEST(WindowLevelAdapter, ChangesLevelOfAShownWindowWithoutHidingIt)
{
    QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    EXPECT_EQ(WindowLevelAdapter::levelOf(window), windowLevel::normal);
    window.show();
    WindowLevelAdapter::apply(window, windowLevel::floating);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    WindowLevelAdapter::apply(window, windowLevel::desktopIcon + 1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnBottomHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(WindowLevelAdapter::levelOf(window), windowLevel::desktopIcon + 1);
}
