#pragma once

#include "Platform/AlertPresenter.h"

#include <QObject>
#include <QString>

#include <functional>

namespace quorrin {

// Shows store and command failures one alert at a time. An error that arrives
// while an alert is pending or on screen is dropped, not queued.
class ErrorPresenter : public QObject {
    Q_OBJECT
public:
    explicit ErrorPresenter(AlertPresenter& alerts, QObject* parent = nullptr);

    void present(const QString& message);
    bool isShowing() const { return m_showing; }

    // Called after the user closed an alert.
    std::function<void()> onDismissed;

private:
    AlertPresenter& m_alerts;
    bool m_showing = false;
};

} // namespace quorrin
