#pragma once

#include "Core/Notifications/NotificationRequest.h"

#include <QStringList>

#include <functional>
#include <optional>

namespace quorrin {

// The desktop's user-notification service as the program sees it: permission,
// categories of actions, calendar-triggered pending requests, the list of
// delivered notifications and the user's answers.
//
// Every completion is called later on the Qt event loop of the thread that
// owns the centre, never from inside the call that takes it. Completions that
// are still outstanding when the centre is destroyed are dropped.
class NotificationCenter {
public:
    using SettingsCompletion = std::function<void(NotificationSettings)>;
    // Granted, and the reason when it was not.
    using AuthorizationCompletion = std::function<void(bool granted, std::optional<QString> error)>;
    // Nothing on success, else a message for the user.
    using AddCompletion = std::function<void(std::optional<QString> error)>;
    using PendingCompletion = std::function<void(QList<NotificationRequest>)>;
    using DeliveredCompletion = std::function<void(QList<DeliveredNotification>)>;
    // Gets the answer and a callback to call exactly once when it has been handled.
    using ResponseHandler = std::function<void(NotificationResponse, std::function<void()> done)>;

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;
    virtual ~NotificationCenter() = default;

    virtual void getSettings(SettingsCompletion completion) = 0;
    // Asks for permission to show alerts with sound where the user has not decided yet.
    virtual void requestAuthorization(AuthorizationCompletion completion) = 0;
    // Replaces the whole set of categories.
    virtual void setCategories(QList<NotificationCategory> categories) = 0;

    virtual void add(NotificationRequest request, AddCompletion completion) = 0;
    virtual void getPendingRequests(PendingCompletion completion) = 0;
    virtual void removePendingRequests(const QStringList& identifiers) = 0;

    virtual void getDeliveredNotifications(DeliveredCompletion completion) = 0;
    virtual void removeDeliveredNotifications(const QStringList& identifiers) = 0;

    virtual void setResponseHandler(ResponseHandler handler) = 0;
};

} // namespace quorrin
