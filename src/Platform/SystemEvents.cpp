#include "Platform/SystemEvents.h"

#include <QDBusConnection>
#include <QDateTime>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGuiApplication>

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <limits>
#include <sys/timerfd.h>
#include <unistd.h>

namespace quorrin {

namespace {
const QString localTimePath = QStringLiteral("/etc/localtime");
}

SystemEvents::SystemEvents(QObject* parent)
    : QObject(parent)
{
    QDBusConnection::systemBus().connect(QStringLiteral("org.freedesktop.login1"),
                                         QStringLiteral("/org/freedesktop/login1"),
                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                         QStringLiteral("PrepareForSleep"), this, SLOT(onPrepareForSleep(bool)));

    m_clockFd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_clockFd >= 0) {
        armClockWatch();
        m_clockNotifier = std::make_unique<QSocketNotifier>(m_clockFd, QSocketNotifier::Read);
        connect(m_clockNotifier.get(), &QSocketNotifier::activated, this, &SystemEvents::onClockWatchReadable);
    }

    // /etc/localtime is usually replaced rather than written, so its folder is
    // watched and the link's target and time compared.
    m_zoneWatcher = new QFileSystemWatcher(this);
    m_zoneWatcher->addPath(QStringLiteral("/etc"));
    m_zoneStamp = localTimeStamp();
    connect(m_zoneWatcher, &QFileSystemWatcher::directoryChanged, this, &SystemEvents::onEtcChanged);

    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive)
                Q_EMIT activated();
        });
    }
}

SystemEvents::~SystemEvents()
{
    m_clockNotifier.reset();
    if (m_clockFd >= 0)
        ::close(m_clockFd);
}

void SystemEvents::onPrepareForSleep(bool sleeping)
{
    if (!sleeping)
        Q_EMIT woke();
}

// A timer far in the future that the kernel cancels whenever the wall clock
// is set; the cancellation is the signal.
void SystemEvents::armClockWatch()
{
    itimerspec expiry{};
    expiry.it_value.tv_sec = std::numeric_limits<time_t>::max() / 2;
    timerfd_settime(m_clockFd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &expiry, nullptr);
}

void SystemEvents::onClockWatchReadable()
{
    std::uint64_t expirations = 0;
    const ssize_t read = ::read(m_clockFd, &expirations, sizeof expirations);
    if (read < 0 && errno == ECANCELED) {
        armClockWatch();
        Q_EMIT clockChanged();
    }
}

QString SystemEvents::localTimeStamp() const
{
    const QFileInfo info(localTimePath);
    return info.symLinkTarget() + u'|' + QString::number(info.lastModified().toMSecsSinceEpoch()) + u'|'
        + QString::number(info.size());
}

void SystemEvents::onEtcChanged()
{
    const QString stamp = localTimeStamp();
    if (stamp == m_zoneStamp)
        return;
    m_zoneStamp = stamp;
    Q_EMIT timeZoneChanged();
}

} // namespace quorrin
