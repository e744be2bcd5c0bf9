#include "Platform/SystemAppearance.h"

#include <QApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace quorrin {
namespace {

QPalette paletteWithWindow(const QColor& window)
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, window);
    return palette;
}

TEST(SystemAppearance, DarkWhenTheWindowColourIsDark)
{
    EXPECT_EQ(SystemAppearance::of(paletteWithWindow(QColor(0x32, 0x32, 0x32))), Appearance::Dark);
    EXPECT_EQ(SystemAppearance::of(paletteWithWindow(QColor(0xEC, 0xEC, 0xEC))), Appearance::Light);
    EXPECT_EQ(SystemAppearance::of(paletteWithWindow(QColor(0, 0, 255))), Appearance::Dark);
}

TEST(SystemAppearance, FollowsTheApplicationPalette)
{
    const QPalette original = QApplication::palette();
    QApplication::setPalette(paletteWithWindow(Qt::white));
    SystemAppearance appearance;
    ASSERT_FALSE(appearance.isDark());
    QSignalSpy spy(&appearance, &SystemAppearance::changed);

    QApplication::setPalette(paletteWithWindow(QColor(20, 20, 20)));
    EXPECT_TRUE(appearance.isDark());
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<Appearance>(), Appearance::Dark);

    QApplication::setPalette(paletteWithWindow(QColor(30, 30, 30)));
    EXPECT_EQ(spy.count(), 1) << "no signal when the appearance stays the same";

    QApplication::setPalette(original);
}

} // namespace
} // namespace quorrin
