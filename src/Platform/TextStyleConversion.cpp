#include "Platform/TextStyleConversion.h"

#include <QGuiApplication>

namespace quorrin {

QFont toQFont(const TextFont& font)
{
    QFont result = QGuiApplication::font();
    if (font.family != TextFont::systemFamily())
        result.setFamilies({font.family});
    if (font.pointSize > 0)
        result.setPointSizeF(font.pointSize);
    result.setBold(font.bold);
    result.setItalic(font.italic);
    return result;
}

TextFont fromQFont(const QFont& font)
{
    const bool system = font.family() == QGuiApplication::font().family();
    return TextFont{system ? TextFont::systemFamily() : font.family(), font.pointSizeF(), font.bold(), font.italic()};
}

QColor toQColor(const Rgba& color)
{
    return QColor::fromRgbF(float(color.red), float(color.green), float(color.blue), float(color.alpha));
}

Rgba fromQColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return Rgba{rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF()};
}

QColor toQColor(const DynamicColor& color, Appearance appearance)
{
    return toQColor(color.resolved(appearance));
}

QColor toQColor(const TextColor& color, const QPalette& palette)
{
    return color.rgba ? toQColor(*color.rgba) : palette.color(QPalette::Text);
}

} // namespace quorrin
