#include "Features/Reminders/ReminderPanelLayout.h"

#include <QRegularExpression>

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

QString minutePattern(const QLocale& locale)
{
    QString time = locale.timeFormat(QLocale::ShortFormat);
    // Seconds and whatever joins them to the minutes go; quoted text stays.
    static const QRegularExpression seconds(QStringLiteral("[^HhKkmAaPp' ]*s+"));
    time.remove(seconds);
    return time.trimmed().isEmpty() ? QStringLiteral("HH:mm") : time.trimmed();
}

QString pickerPattern(const QLocale& locale)
{
    QString date = locale.dateFormat(QLocale::ShortFormat);
    if (date.isEmpty())
        return QStringLiteral("y/M/d HH:mm");
    if (!date.contains(QStringLiteral("yyyy")))
        date.replace(QRegularExpression(QStringLiteral("y+")), QStringLiteral("yyyy"));
    return date + QLatin1Char(' ') + minutePattern(locale);
}

int hourSegmentOffset(const QLocale& locale)
{
    return hourSegmentOffset(pickerPattern(locale));
}

double animationDuration(bool animationsEnabled, bool reduceMotion)
{
    return animationsEnabled && !reduceMotion ? standardAnimationSeconds : 0;
}

} // namespace quorrin::reminderPanelLayout
