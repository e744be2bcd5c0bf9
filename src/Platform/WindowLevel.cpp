#include "Platform/WindowLevel.h"

#include "Platform/X11WindowBehaviour.h"

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

QList<Qt::WindowFlags> flagSteps(Qt::WindowFlags current, int level)
{
    const Qt::WindowFlags target = flagsFor(current, level);
    const Qt::WindowFlags sides = Qt::WindowStaysOnTopHint | Qt::WindowStaysOnBottomHint;
    if (target == current)
        return {};
    if ((current & sides) && (target & sides) && (current & sides) != (target & sides))
        return {current & ~sides, target};
    return {target};
}

void apply(QWidget& window, int level)
{
    window.setProperty(levelProperty, level);
    const QList<Qt::WindowFlags> steps = flagSteps(window.windowFlags(), level);
    if (steps.isEmpty())
        return;
    const Qt::WindowFlags flags = steps.last();
    if (QWindow* handle = window.windowHandle()) {
        // Changing the flags of the native window keeps it shown and in place,
        // unlike QWidget::setWindowFlags, which hides the widget.
        for (const Qt::WindowFlags step : steps) {
            window.overrideWindowFlags(step);
            handle->setFlags(step);
        }
        if (bandFor(level) == WindowBand::Top && window.isVisible())
            X11WindowBehaviour::raiseWithoutActivating(window);
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
