#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QString>

namespace quorrin::testing {

// Another program on the session bus, as a test stands it in: a connection of
// its own that serves one object and may own a name. Tests run in parallel on
// one bus, so each peer's names carry the process id and a counter.
class FakeBusPeer {
public:
    FakeBusPeer(const QString& servicePrefix, const QString& path, QObject* object,
                QDBusConnection::RegisterOptions options)
        : m_suffix(uniqueSuffix())
        , m_service(servicePrefix + QLatin1Char('.') + m_suffix)
        , m_path(path)
        , m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-peer-") + m_suffix))
    {
        m_registered = m_bus.isConnected() && m_bus.registerObject(m_path, object, options);
    }

    ~FakeBusPeer()
    {
        if (m_bus.isConnected()) {
            m_bus.unregisterService(m_service);
            m_bus.unregisterObject(m_path);
        }
        QDBusConnection::disconnectFromBus(m_bus.name());
    }

    FakeBusPeer(const FakeBusPeer&) = delete;
    FakeBusPeer& operator=(const FakeBusPeer&) = delete;

    // Connected, with the object served.
    bool isServing() const { return m_registered; }
    QDBusConnection& bus() { return m_bus; }
    // The name this peer owns once it registers it.
    const QString& service() const { return m_service; }

private:
    static QString uniqueSuffix()
    {
        static int instance = 0;
        return QStringLiteral("p%1n%2").arg(QCoreApplication::applicationPid()).arg(++instance);
    }

    QString m_suffix;
    QString m_service;
    QString m_path;
    QDBusConnection m_bus;
    bool m_registered = false;
};

} // namespace quorrin::testing
