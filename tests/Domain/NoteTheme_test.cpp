#include "Domain/NoteTheme.h"

#include <gtest/gtest.h>

#include <limits>

namespace quorrin {
namespace {

void expectColor(const Rgba& actual, double red, double green, double blue, double alpha = 1)
{
    EXPECT_NEAR(actual.red, red, 1e-9);
    EXPECT_NEAR(actual.green, green, 1e-9);
    EXPECT_NEAR(actual.blue, blue, 1e-9);
    EXPECT_NEAR(actual.alpha, alpha, 1e-9);
}

TEST(NoteColor, RawValuesRoundTripExactly)
{
    for (const NoteColor color : noteColor::allCases)
        EXPECT_EQ(noteColor::fromRawValue(noteColor::rawValue(color)), color);
    EXPECT_FALSE(noteColor::fromRawValue(QStringLiteral("Cream")).has_value());
    EXPECT_FALSE(noteColor::fromRawValue(QStringLiteral("grey")).has_value());
}

TEST(NoteColor, PaperAndThemeColours)
{
    struct Case {
        NoteColor color;
        quint32 paper, lightAccent, lightSurface, darkAccent, darkSurface;
    };
    const Case cases[] = {
        {NoteColor::Cream, 0xFFF2C6, 0xC96A1E, 0xFFF8E6, 0xFFA45C, 0x2A2418},
        {NoteColor::Blue, 0xDCEBFA, 0x3A6FA8, 0xF1F7FD, 0x7FB4EA, 0x1B2632},
        {NoteColor::Sage, 0xE1EEDC, 0x4F7D4A, 0xF4FAF1, 0x8DCB86, 0x1E2A1D},
        {NoteColor::Pink, 0xF8E2E8, 0xB45B77, 0xFFF5F8, 0xE79BB4, 0x2D1F25},
        {NoteColor::Lavender, 0xEAE2F7, 0x7357A8, 0xF8F4FE, 0xB39AE3, 0x251F33},
        {NoteColor::Orange, 0xFBE5D1, 0xB45F2E, 0xFFF6EF, 0xF3A06A, 0x2E2118},
        {NoteColor::Gray, 0xE9EBEE, 0x5E6A78, 0xF6F7F9, 0xA9B6C5, 0x23272C},
        {NoteColor::White, 0xFAFAF8, 0x4B6B8A, 0xFCFCFB, 0x9EC0E0, 0x26272A},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(noteColor::rawValue(c.color).toStdString());
        const DynamicColor paper = noteColor::color(c.color);
        EXPECT_EQ(paper.light, rgbaFromHex(c.paper));
        const Rgba light = rgbaFromHex(c.paper);
        expectColor(paper.dark, light.red * 0.25, light.green * 0.25, light.blue * 0.25);

        const NoteTheme theme = noteColor::theme(c.color);
        EXPECT_EQ(theme.accent, DynamicColor::fromHex(c.lightAccent, c.darkAccent));
        EXPECT_EQ(theme.surface, DynamicColor::fromHex(c.lightSurface, c.darkSurface));
        EXPECT_EQ(theme.accentSoft, theme.accent.withAlpha(0.14));
        EXPECT_EQ(theme.surfaceBorder, theme.accent.withAlpha(0.24));
        EXPECT_EQ(theme.hover, theme.accent.withAlpha(0.12));
        EXPECT_EQ(theme.text, SystemColor::label());
        EXPECT_EQ(theme.secondaryText, SystemColor::secondaryLabel());
        EXPECT_EQ(theme.onAccent, DynamicColor::fixed(Rgba{1, 1, 1, 1}));
    }
}

TEST(NoteColor, DarkAndLightValues)
{
    expectColor(noteColor::color(NoteColor::White).resolved(Appearance::Dark), 62.5 / 255, 62.5 / 255, 62.0 / 255);
    expectColor(noteColor::color(NoteColor::Cream).resolved(Appearance::Dark), 63.75 / 255, 60.5 / 255, 49.5 / 255);
    EXPECT_EQ(noteColor::theme(NoteColor::Blue).accent.resolved(Appearance::Dark), rgbaFromHex(0x7FB4EA));
    EXPECT_EQ(noteColor::color(NoteColor::White).resolved(Appearance::Light), rgbaFromHex(0xFAFAF8));
    EXPECT_EQ(noteColor::theme(NoteColor::Blue).accent.resolved(Appearance::Light), rgbaFromHex(0x3A6FA8));
    expectColor(noteColor::theme(NoteColor::Blue).surfaceBorder.resolved(Appearance::Dark), 0x7F / 255.0,
                0xB4 / 255.0, 0xEA / 255.0, 0.24);
}

TEST(NoteTheme, NeutralTheme)
{
    const NoteTheme& neutral = NoteTheme::neutral();
    EXPECT_EQ(&neutral, &NoteTheme::neutral()) << "made once";
    EXPECT_EQ(neutral.accent, DynamicColor::fixed(Rgba{0.42, 0.45, 0.5, 1}));
    EXPECT_EQ(neutral.accentSoft, DynamicColor::fixed(Rgba{0.42, 0.45, 0.5, 0.14}));
    EXPECT_EQ(neutral.surface, SystemColor::windowBackground());
    EXPECT_EQ(neutral.surfaceBorder, SystemColor::separator());
    EXPECT_EQ(neutral.hover, SystemColor::controlAccent().withAlpha(0.12));
}

TEST(PriorityStyle, ClampsEveryPriority)
{
    struct Case {
        qint64 priority;
        quint32 rgb;
    };
    const Case cases[] = {
        {1, 0xE86B6B}, {0, 0xE86B6B}, {-5, 0xE86B6B}, {std::numeric_limits<qint64>::min(), 0xE86B6B},
        {2, 0xE9A35D}, {3, 0x6B9EE8}, {4, 0xA3A8B0}, {5, 0xA3A8B0}, {1000, 0xA3A8B0},
        {std::numeric_limits<qint64>::max(), 0xA3A8B0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PriorityStyle::color(c.priority), rgbaFromHex(c.rgb)) << c.priority;
}

} // namespace
} // namespace quorrin
