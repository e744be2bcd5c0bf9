#include "Platform/TextStyleConversion.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace quorrin {
namespace {

TEST(TextStyleConversion, SystemFamilyBecomesTheApplicationFont)
{
    const QFont shown = toQFont(TextFont::system(15.5, true));
    EXPECT_EQ(shown.family(), QApplication::font().family());
    EXPECT_DOUBLE_EQ(shown.pointSizeF(), 15.5);
    EXPECT_TRUE(shown.bold());
    EXPECT_EQ(fromQFont(shown), TextFont::system(15.5, true));

    const QFont named = toQFont(TextFont{QStringLiteral("Serif"), 12, false, true});
    EXPECT_EQ(named.families().value(0), QStringLiteral("Serif"));
    EXPECT_TRUE(named.italic());
}

TEST(TextStyleConversion, DynamicTextColourIsThePaletteTextColour)
{
    QPalette palette;
    palette.setColor(QPalette::Text, QColor(1, 2, 3));
    EXPECT_EQ(toQColor(TextColor::dynamicText(), palette), QColor(1, 2, 3));
    EXPECT_EQ(toQColor(TextColor::fixed(Rgba{1, 0, 0, 0.5}), palette), QColor::fromRgbF(1, 0, 0, 0.5));
    const DynamicColor pair = DynamicColor::fromHex(0x102030, 0x405060);
    EXPECT_EQ(toQColor(pair, Appearance::Dark), QColor(0x40, 0x50, 0x60));
    EXPECT_EQ(toQColor(pair, Appearance::Light), QColor(0x10, 0x20, 0x30));
}

} // namespace
} // namespace quorrin
