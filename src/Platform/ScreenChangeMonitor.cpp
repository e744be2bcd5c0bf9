#include "Platform/ScreenChangeMonitor.h"

#include <QGuiApplication>
#include <QScreen>

namespace quorrin {

ScreenChangeMonitor::ScreenChangeMonitor(QObject* parent)
    : QObject(parent)
{
    for (QScreen* screen : QGuiApplication::screens())
        watch(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watch(screen);
        Q_EMIT changed();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, &ScreenChangeMonitor::changed);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &ScreenChangeMonitor::changed);
}

void ScreenChangeMonitor::watch(QScreen* screen)
{
    connect(screen, &QScreen::geometryChanged, this, &ScreenChangeMonitor::changed);
    connect(screen, &QScreen::availableGeometryChanged, this, &ScreenChangeMonitor::changed);
}

} // namespace quorrin
