#include "Features/Reminders/ReminderPanelLayout.h"

#include <algorithm>
#include <cmath>

namespace quorrin::reminderPanelLayout {
namespace {

double clamped(double value, double low, double high)
{
    // std::clamp wants low <= high; a panel taller than the screen keeps its
    // top inside instead.
    return std::max(std::min(value, high), low);
}

} // namespace

QRectF placement(const QRectF& noteWindow, const QRectF& anchor, const QSizeF& size, const QRectF& bounds)
{
    const double width = size.width();
    const double height = size.height();
    double x = noteWindow.right() + noteGap;
    if (bounds.right() - screenMargin < x + width)
        x = noteWindow.left() - width - noteGap;
    x = clamped(x, bounds.left() + screenMargin, bounds.right() - width - screenMargin);
    double y = anchor.top() - noteGap;
    y = clamped(y, bounds.top() + screenMargin, bounds.bottom() - height - screenMargin);
    return QRectF(x, y, width, height);
}

QRectF resized(const QRectF& current, double contentHeight, const QRectF& bounds)
{
    const double height = std::ceil(contentHeight) + 24;
    double y = current.top();
    if (!bounds.isEmpty())
        y = clamped(y, bounds.top() + screenMargin, bounds.bottom() - height - screenMargin);
    return QRectF(current.left(), y, panelWidth, height);
}

int hourSegmentOffset(const QString& pattern)
{
    int count = 0;
    bool quoted = false;
    QChar run;
    for (const QChar character : pattern) {
        if (character == u'\'') {
            quoted = !quoted;
            run = QChar();
            continue;
        }
        if (quoted)
            continue;
        if (!character.isLetter()) {
            run = QChar();
            continue;
        }
        if (character == run)
            continue;
        run = character;
        if (QStringLiteral("HhKk").contains(character))
            return count;
        if (QStringLiteral("yMd").contains(character))
            ++count;
    }
    return count;
}

int hourSegmentOffset(const QLocale& locale)
{
    QString pattern = locale.dateTimeFormat(QLocale::ShortFormat);
    if (pattern.isEmpty())
        pattern = QStringLiteral("y/M/d HH:mm");
    return hourSegmentOffset(pattern);
}

double animationDuration(bool animationsEnabled, bool reduceMotion)
{
    return animationsEnabled && !reduceMotion ? standardAnimationSeconds : 0;
}

} // namespace quorrin::reminderPanelLayout
