#include "Desktop/XInput.h"

#include "Desktop/ManagedProcess.h"

#include <chrono>
#include <thread>

namespace quorrin::desktop {

using namespace std::chrono_literals;

bool XInput::run(const QStringList& arguments)
{
    return runTool(QStringLiteral("xdotool"), arguments, m_environment, 20s).has_value();
}

bool XInput::key(const QStringList& keys)
{
    return run(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40")} + keys);
}

bool XInput::type(const QString& text)
{
    if (!m_display.bindCharacters(text))
        return false;
    return run({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), QStringLiteral("--"), text});
}

bool XInput::moveTo(QPoint point)
{
    return run({QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y())});
}

bool XInput::click(QPoint point, int button)
{
    return moveTo(point) && run({QStringLiteral("click"), QString::number(button)});
}

bool XInput::doubleClick(QPoint point)
{
    return moveTo(point)
        && run({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("--delay"),
                QStringLiteral("60"), QStringLiteral("1")});
}

namespace {

// Pressing at `from`, holding the modifier, and moving in steps to `to`.
QStringList pressAndMove(QPoint from, QPoint to, const QString& modifier, int steps)
{
    QStringList arguments{QStringLiteral("mousemove"), QString::number(from.x()), QString::number(from.y())};
    if (!modifier.isEmpty())
        arguments << QStringLiteral("keydown") << modifier;
    arguments << QStringLiteral("sleep") << QStringLiteral("0.05") << QStringLiteral("mousedown")
              << QStringLiteral("1");
    for (int step = 1; step <= steps; ++step) {
        const QPoint at = from + (to - from) * step / steps;
        arguments << QStringLiteral("sleep") << QStringLiteral("0.03") << QStringLiteral("mousemove")
                  << QString::number(at.x()) << QString::number(at.y());
    }
    return arguments;
}

QStringList release(const QString& modifier)
{
    QStringList arguments{QStringLiteral("mouseup"), QStringLiteral("1")};
    if (!modifier.isEmpty())
        arguments << QStringLiteral("keyup") << modifier;
    return arguments;
}

} // namespace

bool XInput::drag(QPoint from, QPoint to, const QString& modifier, int steps)
{
    // One xdotool run for the whole gesture, so the pointer moves in steps
    // the receiving window sees one by one, with short pauses between them.
    return run(pressAndMove(from, to, modifier, steps) << QStringLiteral("sleep") << QStringLiteral("0.1")
                                                       << release(modifier));
}

bool XInput::dragAndHold(QPoint from, QPoint to, const QString& modifier, int steps)
{
    return run(pressAndMove(from, to, modifier, steps));
}

bool XInput::releaseHeld(const QString& modifier)
{
    return run(release(modifier));
}

} // namespace quorrin::desktop
