#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

class QFileSystemWatcher;

namespace quorrin {

// Events of the machine that move reminders in time: waking from sleep
// (logind's PrepareForSleep), a discontinuous change of the wall clock (a
// timerfd cancelled on set), a change of the system time zone (/etc/localtime)
// and the application becoming active.
class SystemEvents : public QObject {
    Q_OBJECT
public:
    explicit SystemEvents(QObject* parent = nullptr);
    ~SystemEvents() override;

Q_SIGNALS:
    void woke();
    void clockChanged();
    void timeZoneChanged();
    void activated();

private Q_SLOTS:
    void onPrepareForSleep(bool sleeping);

private:
    void armClockWatch();
    void onClockWatchReadable();
    void onEtcChanged();
    QString localTimeStamp() const;

    int m_clockFd = -1;
    std::unique_ptr<QSocketNotifier> m_clockNotifier;
    QFileSystemWatcher* m_zoneWatcher = nullptr;
    QString m_zoneStamp;
};

} // namespace quorrin
