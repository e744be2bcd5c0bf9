#pragma once

#include <QLocale>
#include <QRectF>
#include <QSizeF>

namespace quorrin {

// Geometry and timing of the reminder panel that need no window system.
namespace reminderPanelLayout {

inline constexpr double panelWidth = 308;
inline constexpr double screenMargin = 6; // kept free at the visible frame's edges
inline constexpr double noteGap = 8;      // between the note window and the panel
inline constexpr double standardAnimationSeconds = 0.18;
inline constexpr double closeAfterConfirmationSeconds = 0.28;

// Where the panel goes for a note window and the rectangle of the todo's
// first line (both in global coordinates, y growing downwards): right of the
// note, or left when there is no room; its top 8 above the line's top; kept 6
// inside `bounds`, the visible frame of the note's screen.
QRectF placement(const QRectF& noteWindow, const QRectF& anchor, const QSizeF& size, const QRectF& bounds);

// The panel's new frame after its content changed height: the top edge
// stays, then the frame is kept 6 inside `bounds` when there are bounds.
QRectF resized(const QRectF& current, double contentHeight, const QRectF& bounds);

// The date picker's pattern for a locale: its short date with the year in
// full, then its short time without seconds.
QString pickerPattern(const QLocale& locale);
// A locale's short time pattern without seconds.
QString minutePattern(const QLocale& locale);

// How many date fields come before the hour in the locale's short date-time
// picker pattern; letters in quoted text do not
// count.
int hourSegmentOffset(const QLocale& locale);
int hourSegmentOffset(const QString& pattern);

// The panel's animation length: none when animations are off in the
// preferences or the desktop asks for reduced motion.
double animationDuration(bool animationsEnabled, bool reduceMotion);

} // namespace reminderPanelLayout
} // namespace quorrin
