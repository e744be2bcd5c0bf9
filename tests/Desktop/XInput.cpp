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

bool XInput::drag(QPoint from, QPoint to, const QString& modifier, int steps)
{
    // One xdotool run for the whole gesture, so the pointer moves in steps
    // the receiving window sees one by one, with short pauses between them.
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
    arguments << QStringLiteral("sleep") << QStringLiteral("0.1") << QStringLiteral("mouseup") << QStringLiteral("1");
    if (!modifier.isEmpty())
        arguments << QStringLiteral("keyup") << modifier;
    return run(arguments);
}

} // namespace quorrin::desktop
