#pragma once

#include "Core/Notifications/NotificationCenter.h"

#include <QObject>

#include <deque>

namespace quorrin {

// A notification centre for tests. It holds its state in public fields that
// tests set and read, records every call, and lets tests answer the
// asynchronous calls when they choose: with `autoComplete` on, completions run
// on the next turn of the event loop; with it off they wait in a queue until
// `completeNext()` or `completeAll()`.
//
// Adding and removing take effect at the call; the lists handed to the
// completions of `getPendingRequests` and `getDeliveredNotifications` are read
// when the completion runs.
class FakeNotificationCenter : public NotificationCenter {
public:
    FakeNotificationCenter() = default;

    // --- what the fake answers with
    NotificationSettings settings{AuthorizationStatus::authorized, {}};
    // The answer of `requestAuthorization` while the status is not determined;
    // it also becomes the new status.
    bool grantsAuthorization = true;
    // When set, every `add` fails with this message and changes nothing.
    std::optional<QString> addError;
    QList<NotificationRequest> pending;
    QList<DeliveredNotification> delivered;

    // --- what was asked of it
    QStringList calls; // "getSettings", "requestAuthorization", "setCategories", "add", "getPendingRequests",
                       // "removePendingRequests", "getDeliveredNotifications", "removeDeliveredNotifications"
    QList<NotificationCategory> categories;
    QList<NotificationRequest> added;
    QList<QStringList> removedPending;
    QList<QStringList> removedDelivered;

    // --- control of completions
    bool autoComplete = true;
    int queuedCompletions() const { return int(m_queue.size()); }
    // Runs the oldest waiting completion; false when none waits.
    bool completeNext();
    void completeAll();

    // Hands the answer to the response handler; `whenHandled` runs when the
    // handler calls its completion. Nothing happens without a handler.
    bool hasResponseHandler() const { return bool(m_handler); }
    void respond(NotificationResponse response, std::function<void()> whenHandled = {});

    // --- NotificationCenter
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
    void enqueue(std::function<void()> completion);

    std::deque<std::function<void()>> m_queue;
    ResponseHandler m_handler;
    QObject m_context; // drops completions posted to the event loop when the fake goes away
};

} // namespace quorrin
