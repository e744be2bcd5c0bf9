#include "Platform/DeferredNotificationCenter.h"

#include <QThread>

namespace quorrin {

DeferredNotificationCenter::DeferredNotificationCenter(std::function<void()> prepare,
                                                       std::function<std::unique_ptr<NotificationCenter>()> make,
                                                       QObject* parent)
    : QObject(parent)
    , m_make(std::move(make))
    , m_preparation(QThread::create(std::move(prepare)))
{
    // Queued: the thread's end is announced from the thread itself.
    connect(m_preparation.get(), &QThread::finished, this, &DeferredNotificationCenter::makeCenter,
            Qt::QueuedConnection);
    m_preparation->start();
}

DeferredNotificationCenter::~DeferredNotificationCenter()
{
    m_preparation->wait();
}

void DeferredNotificationCenter::makeCenter()
{
    if (m_center)
        return;
    m_center = m_make();
    for (Call& call : std::exchange(m_waiting, {}))
        call(*m_center);
}

void DeferredNotificationCenter::forward(Call call)
{
    if (m_center)
        call(*m_center);
    else
        m_waiting.push_back(std::move(call));
}

void DeferredNotificationCenter::getSettings(SettingsCompletion completion)
{
    forward([completion = std::move(completion)](NotificationCenter& center) mutable {
        center.getSettings(std::move(completion));
    });
}

void DeferredNotificationCenter::requestAuthorization(AuthorizationCompletion completion)
{
    forward([completion = std::move(completion)](NotificationCenter& center) mutable {
        center.requestAuthorization(std::move(completion));
    });
}

void DeferredNotificationCenter::setCategories(QList<NotificationCategory> categories)
{
    forward([categories = std::move(categories)](NotificationCenter& center) mutable {
        center.setCategories(std::move(categories));
    });
}

void DeferredNotificationCenter::add(NotificationRequest request, AddCompletion completion)
{
    forward([request = std::move(request), completion = std::move(completion)](NotificationCenter& center) mutable {
        center.add(std::move(request), std::move(completion));
    });
}

void DeferredNotificationCenter::getPendingRequests(PendingCompletion completion)
{
    forward([completion = std::move(completion)](NotificationCenter& center) mutable {
        center.getPendingRequests(std::move(completion));
    });
}

void DeferredNotificationCenter::removePendingRequests(const QStringList& identifiers)
{
    forward([identifiers](NotificationCenter& center) { center.removePendingRequests(identifiers); });
}

void DeferredNotificationCenter::getDeliveredNotifications(DeliveredCompletion completion)
{
    forward([completion = std::move(completion)](NotificationCenter& center) mutable {
        center.getDeliveredNotifications(std::move(completion));
    });
}

void DeferredNotificationCenter::removeDeliveredNotifications(const QStringList& identifiers)
{
    forward([identifiers](NotificationCenter& center) { center.removeDeliveredNotifications(identifiers); });
}

void DeferredNotificationCenter::setResponseHandler(ResponseHandler handler)
{
    forward([handler = std::move(handler)](NotificationCenter& center) mutable {
        center.setResponseHandler(std::move(handler));
    });
}

} // namespace quorrin
