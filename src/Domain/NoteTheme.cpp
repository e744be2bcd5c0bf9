#include "Domain/NoteTheme.h"

namespace quorrin {

Rgba rgbaFromHex(quint32 rgb, double alpha)
{
    return Rgba{((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

DynamicColor DynamicColor::fromHex(quint32 lightRgb, quint32 darkRgb)
{
    return DynamicColor{rgbaFromHex(lightRgb), rgbaFromHex(darkRgb)};
}

DynamicColor DynamicColor::withAlpha(double alpha) const
{
    DynamicColor result = *this;
    result.light.alpha = alpha;
    result.dark.alpha = alpha;
    return result;
}

namespace SystemColor {

namespace {
const Rgba black{0, 0, 0, 1};
const Rgba whiteValue{1, 1, 1, 1};

Rgba withAlpha(Rgba color, double alpha)
{
    color.alpha = alpha;
    return color;
}
} // namespace

DynamicColor label()
{
    return DynamicColor{withAlpha(black, 0.85), withAlpha(whiteValue, 0.85)};
}

DynamicColor secondaryLabel()
{
    return DynamicColor{withAlpha(black, 0.5), withAlpha(whiteValue, 0.55)};
}

DynamicColor windowBackground()
{
    return DynamicColor::fromHex(0xECECEC, 0x323232);
}

DynamicColor separator()
{
    return DynamicColor{withAlpha(black, 0.1), withAlpha(whiteValue, 0.1)};
}

DynamicColor controlAccent()
{
    return DynamicColor::fromHex(0x007AFF, 0x0A84FF);
}

DynamicColor white()
{
    return DynamicColor::fixed(whiteValue);
}

} // namespace SystemColor

namespace {

struct ColorValues {
    quint32 paper;
    quint32 lightAccent;
    quint32 lightSurface;
    quint32 darkAccent;
    quint32 darkSurface;
};

ColorValues valuesOf(NoteColor color)
{
    switch (color) {
    case NoteColor::Cream: return {0xFFF2C6, 0xC96A1E, 0xFFF8E6, 0xFFA45C, 0x2A2418};
    case NoteColor::Blue: return {0xDCEBFA, 0x3A6FA8, 0xF1F7FD, 0x7FB4EA, 0x1B2632};
    case NoteColor::Sage: return {0xE1EEDC, 0x4F7D4A, 0xF4FAF1, 0x8DCB86, 0x1E2A1D};
    case NoteColor::Pink: return {0xF8E2E8, 0xB45B77, 0xFFF5F8, 0xE79BB4, 0x2D1F25};
    case NoteColor::Lavender: return {0xEAE2F7, 0x7357A8, 0xF8F4FE, 0xB39AE3, 0x251F33};
    case NoteColor::Orange: return {0xFBE5D1, 0xB45F2E, 0xFFF6EF, 0xF3A06A, 0x2E2118};
    case NoteColor::Gray: return {0xE9EBEE, 0x5E6A78, 0xF6F7F9, 0xA9B6C5, 0x23272C};
    case NoteColor::White: return {0xFAFAF8, 0x4B6B8A, 0xFCFCFB, 0x9EC0E0, 0x26272A};
    }
    return valuesOf(NoteColor::Cream);
}

} // namespace

namespace noteColor {

DynamicColor color(NoteColor color)
{
    const Rgba light = rgbaFromHex(valuesOf(color).paper);
    // Dark paper is the light paper at a quarter of its brightness.
    const Rgba dark{light.red * 0.25, light.green * 0.25, light.blue * 0.25, 1};
    return DynamicColor{light, dark};
}

NoteTheme theme(NoteColor color)
{
    const ColorValues values = valuesOf(color);
    const DynamicColor accent = DynamicColor::fromHex(values.lightAccent, values.darkAccent);
    return NoteTheme{
        accent,
        accent.withAlpha(0.14),
        DynamicColor::fromHex(values.lightSurface, values.darkSurface),
        accent.withAlpha(0.24), // the border comes from the accent, not from the surface
        accent.withAlpha(0.12),
        SystemColor::label(),
        SystemColor::secondaryLabel(),
        SystemColor::white(),
    };
}

} // namespace noteColor

const NoteTheme& NoteTheme::neutral()
{
    static const NoteTheme theme{
        DynamicColor::fixed(Rgba{0.42, 0.45, 0.5, 1}),
        DynamicColor::fixed(Rgba{0.42, 0.45, 0.5, 0.14}),
        SystemColor::windowBackground(),
        SystemColor::separator(),
        SystemColor::controlAccent().withAlpha(0.12),
        SystemColor::label(),
        SystemColor::secondaryLabel(),
        SystemColor::white(),
    };
    return theme;
}

namespace PriorityStyle {

Rgba color(qint64 priority)
{
    // Clamped before any arithmetic, so the extremes of qint64 cannot overflow.
    const qint64 index = priority <= 1 ? 0 : priority >= 4 ? 3 : priority - 1;
    static constexpr quint32 colors[] = {0xE86B6B, 0xE9A35D, 0x6B9EE8, 0xA3A8B0};
    return rgbaFromHex(colors[index]);
}

} // namespace PriorityStyle

} // namespace quorrin
