#include "Platform/QtDesktopMetrics.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

namespace quorrin {

std::optional<QRectF> QtDesktopMetrics::mainScreenVisibleFrame() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    // Qt's coordinates grow downwards from the primary screen's top edge;
    // screen points grow upwards from its bottom edge.
    const QRectF full = screen->geometry();
    const QRectF available = screen->availableGeometry();
    const double bottomUp = (full.y() + full.height()) - (available.y() + available.height());
    return QRectF(available.x(), bottomUp, available.width(), available.height());
}

bool QtDesktopMetrics::hasFontFamily(const QString& family) const
{
    return QFontDatabase::hasFamily(family);
}

} // namespace quorrin
