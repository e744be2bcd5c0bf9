#pragma once

#include "Domain/NoteTheme.h"
#include "Core/Text/AttributedString.h"

#include <QColor>
#include <QFont>
#include <QPalette>

namespace quorrin {

// The Qt font that shows a TextFont: the system family becomes the
// application's default font family.
QFont toQFont(const TextFont& font);
TextFont fromQFont(const QFont& font);

QColor toQColor(const Rgba& color);
Rgba fromQColor(const QColor& color);
QColor toQColor(const DynamicColor& color, Appearance appearance);
// The dynamic text colour is the palette's text colour.
QColor toQColor(const TextColor& color, const QPalette& palette);

} // namespace quorrin
