#include "Platform/SessionBusStart.h"

#include <QAccessible>
#include <QDBusConnection>
#include <QThread>

namespace quorrin::sessionbus {

void connectInBackground()
{
    QThread* connecting = QThread::create([] { QDBusConnection::sessionBus(); });
    QObject::connect(connecting, &QThread::finished, connecting, &QObject::deleteLater);
    connecting->start();
    // Setting the root object only makes the platform's bridge, which needs
    // no root object of its own; the first accessibility question makes it.
    QAccessible::installRootObjectHandler([](QObject*) {});
}

} // namespace quorrin::sessionbus
