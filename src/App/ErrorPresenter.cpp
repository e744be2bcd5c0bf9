#include "App/ErrorPresenter.h"

#include <QPointer>
#include <QTimer>

namespace quorrin {

ErrorPresenter::ErrorPresenter(AlertPresenter& alerts, QObject* parent)
    : QObject(parent)
    , m_alerts(alerts)
{
}

void ErrorPresenter::present(const QString& message)
{
    if (m_showing)
        return;
    m_showing = true;
    // The alert runs modally on the next turn, never inside the failing call.
    QTimer::singleShot(0, this, [this, message] {
        m_alerts.present(message, QString());
        m_showing = false;
        if (onDismissed)
            onDismissed();
    });
}

} // namespace quorrin
