#pragma once

#include <QList>
#include <Qt>

#include <climits>

class QWidget;

namespace quorrin {

// Window levels are plain integers in all window logic, ordered like the
// stacking bands of a desktop: the band at the desktop icons sits far below
// normal windows, floating windows above them. Only WindowLevelAdapter turns
// a level into what the window system understands.
namespace windowLevel {
inline constexpr int normal = 0;
inline constexpr int floating = 3;
// Alerts, confirmations and file dialogs: above every note, floating or not.
inline constexpr int modalPanel = 8;
inline constexpr int desktopIcon = INT_MIN + 40;
} // namespace windowLevel

// The stacking band a level lands in on an X11 desktop.
enum class WindowBand { Bottom, Normal, Top };

namespace WindowLevelAdapter {

WindowBand bandFor(int level);

// `current` with its stacking hints replaced by those of `level`:
// above normal -> stays on top, below normal -> stays on bottom.
Qt::WindowFlags flagsFor(Qt::WindowFlags current, int level);

// The flags a shown window takes on its way from `current` to `level`, one
// after the other. Straight from one outer band to the other it passes the
// normal band first: the toolkit asks for the new band before it drops the
// old one, and a window manager that refuses a window both bands at once
// (xfwm4) would otherwise leave it in neither.
QList<Qt::WindowFlags> flagSteps(Qt::WindowFlags current, int level);

// Puts a top-level widget at a level without hiding it, and remembers the
// level on the widget.
void apply(QWidget& window, int level);

// The level last applied to the widget; normal when none was.
int levelOf(const QWidget& window);

} // namespace WindowLevelAdapter

} // namespace quorrin
