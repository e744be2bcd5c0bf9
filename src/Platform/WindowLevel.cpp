#include "Platform/WindowLevel.h"

#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace quorrin::WindowLevelAdapter {

namespace {
constexpr const char* levelProperty = "quorrinWindowLevel";
}

WindowBand bandFor(int level)
{
    if (level > windowLevel::normal)
        return WindowBand::Top;
    if (level < windowLevel::normal)
        return WindowBand::Bottom;
    return WindowBand::Normal;
}

Qt::WindowFlags flagsFor(Qt::WindowFlags current, int level)
{
    Qt::WindowFlags flags = current & ~(Qt::WindowStaysOnTopHint | Qt::WindowStaysOnBottomHint);
    switch (bandFor(level)) {
    case WindowBand::Top: flags |= Qt::WindowStaysOnTopHint; break;
    case WindowBand::Bottom: flags |= Qt::WindowStaysOnBottomHint; break;
    case WindowBand::Normal: break;
    }
    return flags;
}

void apply(QWidget& window, int level)
{
    window.setProperty(levelProperty, level);
    const Qt::WindowFlags flags = flagsFor(window.windowFlags(), level);
    if (flags == window.windowFlags())
        return;
    if (QWindow* handle = window.windowHandle()) {
        // Changing the flags of the native window keeps it shown and in place,
        // unlike QWidget::setWindowFlags, which hides the widget.
        window.overrideWindowFlags(flags);
        handle->setFlags(flags);
        if (bandFor(level) == WindowBand::Top && window.isVisible())
            window.raise();
    } else {
        window.setWindowFlags(flags);
    }
}

int levelOf(const QWidget& window)
{
    const QVariant level = window.property(levelProperty);
    return level.isValid() ? level.toInt() : windowLevel::normal;
}

} // namespace quorrin::WindowLevelAdapter
