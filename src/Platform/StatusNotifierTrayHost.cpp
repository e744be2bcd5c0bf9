#include "Platform/StatusNotifierTrayHost.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QThread>

namespace quorrin {

namespace {

const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString watcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");

} // namespace

StatusNotifierTrayHost::StatusNotifierTrayHost(QObject* parent)
    : TrayHost(parent)
    , m_bus(QStringLiteral("not yet connected"))
    , m_service(watcherService)
{
    m_connecting.reset(QThread::create([] { QDBusConnection::sessionBus(); }));
    connect(m_connecting.get(), &QThread::finished, this, [this] {
        m_bus = QDBusConnection::sessionBus();
        watch();
    });
    m_connecting->start();
}

StatusNotifierTrayHost::StatusNotifierTrayHost(QDBusConnection bus, const QString& service, QObject* parent)
    : TrayHost(parent)
    , m_bus(std::move(bus))
    , m_service(service)
{
    watch();
}

void StatusNotifierTrayHost::watch()
{
    if (!m_bus.isConnected())
        return;
    m_serviceWatcher = new QDBusServiceWatcher(m_service, m_bus,
                                               QDBusServiceWatcher::WatchForRegistration
                                                   | QDBusServiceWatcher::WatchForUnregistration,
                                               this);
    connect(m_serviceWatcher, &QDBusServiceWatcher::serviceRegistered, this, &StatusNotifierTrayHost::ask);
    connect(m_serviceWatcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        ++m_question;
        setAvailable(false);
    });
    for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
        m_bus.connect(m_service, watcherPath, watcherInterface, QString::fromLatin1(signal), this, SLOT(ask()));
    ask();
}

StatusNotifierTrayHost::~StatusNotifierTrayHost()
{
    if (m_connecting)
        m_connecting->wait();
    if (!m_bus.isConnected())
        return;
    for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
        m_bus.disconnect(m_service, watcherPath, watcherInterface, QString::fromLatin1(signal), this, SLOT(ask()));
}

void StatusNotifierTrayHost::ask()
{
    QDBusMessage get = QDBusMessage::createMethodCall(m_service, watcherPath,
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << watcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
    const quint64 question = ++m_question;
    // A watcher that hangs must not hold anything up: the answer comes when it comes.
    auto* pending = new QDBusPendingCallWatcher(m_bus.asyncCall(get, 5000), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, question](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        if (question != m_question)
            return;
        const QDBusPendingReply<QDBusVariant> reply = *call;
        setAvailable(!reply.isError() && reply.value().variant().toBool());
    });
}

void StatusNotifierTrayHost::setAvailable(bool available)
{
    if (available == m_available)
        return;
    m_available = available;
    Q_EMIT availabilityChanged(available);
}

} // namespace quorrin
