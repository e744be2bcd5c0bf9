#pragma once

#include "Platform/TrayHost.h"

#include <QDBusConnection>
#include <QString>

class QDBusServiceWatcher;

namespace quorrin {

// A tray on the session bus: a StatusNotifier watcher with a host (the panel
// that draws the icons) registered on it. The answer arrives asynchronously;
// until it does the tray counts as missing.
class StatusNotifierTrayHost final : public TrayHost {
    Q_OBJECT
public:
    static inline const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

    explicit StatusNotifierTrayHost(QDBusConnection bus = QDBusConnection::sessionBus(),
                                    const QString& service = watcherService, QObject* parent = nullptr);
    ~StatusNotifierTrayHost() override;

    bool isAvailable() const override { return m_available; }

private Q_SLOTS:
    // The watcher came or went, or a host registered or left it.
    void ask();

private:
    void setAvailable(bool available);

    QDBusConnection m_bus;
    QString m_service;
    QDBusServiceWatcher* m_serviceWatcher = nullptr;
    // Answers to older questions are ignored.
    quint64 m_question = 0;
    bool m_available = false;
};

} // namespace quorrin
