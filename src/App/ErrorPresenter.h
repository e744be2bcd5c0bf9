#pragma once

#include "Platform/AlertPresenter.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace quorrin {

// Shows store and command failures one alert at a time, never inside the
// failing call. Errors that arrive while an alert is pending or on screen
// wait their turn and are shown one after the other, in the order they came;
// one that says the same as an alert already waiting or on screen is not
// shown twice.
class ErrorPresenter : public QObject {
    Q_OBJECT
public:
    explicit ErrorPresenter(AlertPresenter& alerts, QObject* parent = nullptr);

    void present(const QString& message);
    // Whether an alert is on screen or waiting to be shown.
    bool isShowing() const { return m_showing; }

    // Called after the user closed an alert.
    std::function<void()> onDismissed;

private:
    void showNextLater();
    void showNext();

    AlertPresenter& m_alerts;
    bool m_showing = false;
    QString m_onScreen;  // the message of the alert on screen, empty when none
    QStringList m_waiting; // messages still to show, oldest first
};

} // namespace quorrin
