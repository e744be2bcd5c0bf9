#pragma once

#include "Core/Notifications/NotificationCenter.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QThread;

namespace quorrin {

// A notification centre whose real centre is made only once something slow
// has been prepared on another thread: connecting to the session bus may
// start a bus first (without a bus address) and must not hold up the
// windows. Calls made before then wait, in order, and reach the real centre
// as soon as it exists; their completions are called later as always.
class DeferredNotificationCenter : public QObject, public NotificationCenter {
    Q_OBJECT
public:
    // `prepare` runs on a thread of its own; `make` then runs on the thread
    // that owns this centre.
    DeferredNotificationCenter(std::function<void()> prepare,
                               std::function<std::unique_ptr<NotificationCenter>()> make,
                               QObject* parent = nullptr);
    // Waits for the preparation to end.
    ~DeferredNotificationCenter() override;

    // The real centre once made, else null.
    NotificationCenter* center() const { return m_center.get(); }

    void getSettings(SettingsCompletion completion) override;
    void requestAuthorization(AuthorizationCompletion completion) override;
    void setCategories(QList<NotificationCategory> categories) override;
    void add(NotificationRequest request, AddCompletion completion) override;
    void getPendingRequests(PendingCompletion completion) override;
    void removePendingRequests(const QStringList& identifiers) override;
    void getDeliveredNotifications(DeliveredCompletion completion) override;
    void removeDeliveredNotifications(const QStringList& identifiers) override;
    void setResponseHandler(ResponseHandler handler) override;

private:
    using Call = std::function<void(NotificationCenter&)>;
    void forward(Call call);
    void makeCenter();

    std::function<std::unique_ptr<NotificationCenter>()> m_make;
    std::unique_ptr<QThread> m_preparation;
    std::unique_ptr<NotificationCenter> m_center;
    std::vector<Call> m_waiting;
};

} // namespace quorrin
