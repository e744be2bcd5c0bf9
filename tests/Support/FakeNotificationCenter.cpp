#include "Support/FakeNotificationCenter.h"

#include <QTimer>

namespace quorrin {

void FakeNotificationCenter::enqueue(std::function<void()> completion)
{
    m_queue.push_back(std::move(completion));
    if (autoComplete)
        QTimer::singleShot(0, &m_context, [this] { completeNext(); });
}

bool FakeNotificationCenter::completeNext()
{
    if (m_queue.empty())
        return false;
    std::function<void()> completion = std::move(m_queue.front());
    m_queue.pop_front();
    completion();
    return true;
}

void FakeNotificationCenter::completeAll()
{
    while (completeNext()) {
    }
}

void FakeNotificationCenter::respond(NotificationResponse response, std::function<void()> whenHandled)
{
    if (!m_handler)
        return;
    m_handler(std::move(response), [whenHandled = std::move(whenHandled)] {
        if (whenHandled)
            whenHandled();
    });
}

void FakeNotificationCenter::getSettings(SettingsCompletion completion)
{
    calls.append(QStringLiteral("getSettings"));
    enqueue([this, completion = std::move(completion)] { completion(settings); });
}

void FakeNotificationCenter::requestAuthorization(AuthorizationCompletion completion)
{
    calls.append(QStringLiteral("requestAuthorization"));
    enqueue([this, completion = std::move(completion)] {
        if (settings.authorizationStatus == AuthorizationStatus::notDetermined)
            settings.authorizationStatus = grantsAuthorization ? AuthorizationStatus::authorized
                                                               : AuthorizationStatus::denied;
        completion(settings.allowsDelivery(), std::nullopt);
    });
}

void FakeNotificationCenter::setCategories(QList<NotificationCategory> newCategories)
{
    calls.append(QStringLiteral("setCategories"));
    categories = std::move(newCategories);
}

void FakeNotificationCenter::add(NotificationRequest request, AddCompletion completion)
{
    calls.append(QStringLiteral("add"));
    added.append(request);
    const std::optional<QString> error = addError;
    if (!error) {
        pending.removeIf([&](const NotificationRequest& p) { return p.identifier == request.identifier; });
        pending.append(std::move(request));
    }
    enqueue([error, completion = std::move(completion)] { completion(error); });
}

void FakeNotificationCenter::getPendingRequests(PendingCompletion completion)
{
    calls.append(QStringLiteral("getPendingRequests"));
    enqueue([this, completion = std::move(completion)] { completion(pending); });
}

void FakeNotificationCenter::removePendingRequests(const QStringList& identifiers)
{
    calls.append(QStringLiteral("removePendingRequests"));
    removedPending.append(identifiers);
    pending.removeIf([&](const NotificationRequest& p) { return identifiers.contains(p.identifier); });
}

void FakeNotificationCenter::getDeliveredNotifications(DeliveredCompletion completion)
{
    calls.append(QStringLiteral("getDeliveredNotifications"));
    enqueue([this, completion = std::move(completion)] { completion(delivered); });
}

void FakeNotificationCenter::removeDeliveredNotifications(const QStringList& identifiers)
{
    calls.append(QStringLiteral("removeDeliveredNotifications"));
    removedDelivered.append(identifiers);
    delivered.removeIf(
        [&](const DeliveredNotification& d) { return identifiers.contains(d.request.identifier); });
}

void FakeNotificationCenter::setResponseHandler(ResponseHandler handler)
{
    m_handler = std::move(handler);
}

} // namespace quorrin
