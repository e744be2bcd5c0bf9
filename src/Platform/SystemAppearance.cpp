#include "Platform/SystemAppearance.h"

#include <QEvent>
#include <QGuiApplication>

namespace quorrin {

SystemAppearance::SystemAppearance(QObject* parent)
    : QObject(parent)
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
    reread();
}

Appearance SystemAppearance::of(const QPalette& palette)
{
    // Perceived brightness (Rec. 709 weights), so a saturated blue counts as dark.
    const QColor window = palette.color(QPalette::Window).toRgb();
    const double luma = 0.2126 * window.redF() + 0.7152 * window.greenF() + 0.0722 * window.blueF();
    return luma < 0.5 ? Appearance::Dark : Appearance::Light;
}

bool SystemAppearance::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == QCoreApplication::instance() && event->type() == QEvent::ApplicationPaletteChange)
        reread();
    return QObject::eventFilter(watched, event);
}

void SystemAppearance::reread()
{
    const Appearance now = of(QGuiApplication::palette());
    if (now == m_current)
        return;
    m_current = now;
    Q_EMIT changed(now);
}

} // namespace quorrin
