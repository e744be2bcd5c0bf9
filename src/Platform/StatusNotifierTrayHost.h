#pragma once

#include "Platform/TrayHost.h"

#include <QDBusConnection>
#include <QString>

#include <memory>

class QDBusServiceWatcher;
class QThread;

namespace quorrin {

// A tray on the session bus: a StatusNotifier watcher with a host (the panel
// that draws the icons) registered on it. The answer arrives asynchronously;
// until it does the tray counts as missing.
class StatusNotifierTrayHost final : public TrayHost {
    Q_OBJECT
public:
    static inline const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

    // Watches the session bus once it is connected, which happens on a
    // thread of its own: connecting may start a bus first, and no window
    // waits for that.
    explicit StatusNotifierTrayHost(QObject* parent = nullptr);
    StatusNotifierTrayHost(QDBusConnection bus, const QString& service, QObject* parent = nullptr);
    // Waits for the connecting to end.
    ~StatusNotifierTrayHost() override;

    bool isAvailable() const override { return m_available; }

private Q_SLOTS:
    // The watcher came or went, or a host registered or left it.
    void ask();

private:
    void watch();
    void setAvailable(bool available);

    std::unique_ptr<QThread> m_connecting;
    QDBusConnection m_bus;
    QString m_service;
    QDBusServiceWatcher* m_serviceWatcher = nullptr;
    // Answers to older questions are ignored.
    quint64 m_question = 0;
    bool m_available = false;
};

} // namespace quorrin
