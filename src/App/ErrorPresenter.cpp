#include "App/ErrorPresenter.h"

#include <QTimer>

namespace quorrin {

ErrorPresenter::ErrorPresenter(AlertPresenter& alerts, QObject* parent)
    : QObject(parent)
    , m_alerts(alerts)
{
}

void ErrorPresenter::present(const QString& message)
{
    if (message == m_onScreen || m_waiting.contains(message))
        return;
    m_waiting.append(message);
    if (!m_showing)
        showNextLater();
}

void ErrorPresenter::showNextLater()
{
    m_showing = true;
    // The alert runs modally on the next turn, never inside the failing call.
    QTimer::singleShot(0, this, [this] { showNext(); });
}

void ErrorPresenter::showNext()
{
    if (m_waiting.isEmpty()) {
        m_showing = false;
        return;
    }
    m_onScreen = m_waiting.takeFirst();
    m_alerts.present(m_onScreen, QString());
    m_onScreen.clear();
    if (onDismissed)
        onDismissed();
    if (m_waiting.isEmpty())
        m_showing = false;
    else
        showNextLater();
}

} // namespace quorrin
