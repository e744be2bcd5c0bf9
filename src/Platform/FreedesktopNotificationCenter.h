#pragma once

#include "Core/Time/Clock.h"
#include "Core/Notifications/NotificationCenter.h"
#include "Core/Notifications/NotificationSchedule.h"

#include <QDBusConnection>
#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

namespace quorrin {

// The arguments of one org.freedesktop.Notifications.Notify call.
struct FreedesktopNotification {
    QString appName;
    uint replacesId = 0;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions; // identifier, title, identifier, title, ...
    QVariantMap hints;
    int expireTimeout = -1; // -1: the server's default; 0: never

    // What the server said it can do (GetCapabilities), as far as the
    // notification depends on it.
    struct ServerTraits {
        bool readsBodyMarkup = false; // "body-markup"
        bool keepsNotifications = false; // "persistence"
    };

    // The notification showing `request`: the subtitle becomes the first line
    // of the body, the category's actions follow the click action, and the
    // body is escaped when the server reads it as markup. A reminder waits
    // for the user: it never expires, and stays with a server that keeps
    // notifications even after one of its actions was chosen.
    static FreedesktopNotification make(const NotificationRequest& request,
                                        const QList<NotificationCategory>& categories, uint replacesId,
                                        ServerTraits server);

    friend bool operator==(const FreedesktopNotification&, const FreedesktopNotification&) = default;
};

// The notification centre of a Linux desktop: pending requests wait in this
// process until their triggers fire and are then shown through the
// org.freedesktop.Notifications service on the session bus.
//
// Linux has no per-application notification permission: notifications are
// allowed exactly when the notification service answers. When it does not
// (no session bus, no server, no answer within the call timeout) nobody has
// decided anything: the settings report "not determined" with the reason and
// `requestAuthorization` cannot grant. Requests are still accepted and fire
// on time; each is shown if a service answers by then. No call ever blocks.
//
// Only notifications this instance showed are tracked: signals about the ids
// of other applications' notifications are ignored.
class FreedesktopNotificationCenter : public QObject, public NotificationCenter {
    Q_OBJECT
public:
    struct Options {
        QString service = QStringLiteral("org.freedesktop.Notifications");
        int callTimeoutMs = 2000;
        Clock clock = systemNow;
        std::function<QTimeZone()> systemTimeZone = [] { return QTimeZone::systemTimeZone(); };
    };

    static const QString unavailableMessage; // "没有正在运行的桌面通知服务"

    explicit FreedesktopNotificationCenter(QObject* parent = nullptr);
    FreedesktopNotificationCenter(QDBusConnection bus, Options options, QObject* parent = nullptr);
    ~FreedesktopNotificationCenter() override;

    void getSettings(SettingsCompletion completion) override;
    void requestAuthorization(AuthorizationCompletion completion) override;
    void setCategories(QList<NotificationCategory> categories) override;
    void add(NotificationRequest request, AddCompletion completion) override;
    void getPendingRequests(PendingCompletion completion) override;
    void removePendingRequests(const QStringList& identifiers) override;
    void getDeliveredNotifications(DeliveredCompletion completion) override;
    void removeDeliveredNotifications(const QStringList& identifiers) override;
    void setResponseHandler(ResponseHandler handler) override;

public Q_SLOTS:
    // Works out the due times again: call after the clock or the time zone
    // changed or the machine woke up. Also happens by itself at least once a
    // minute while requests are pending.
    void reschedule();

private Q_SLOTS:
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    using ProbeCompletion = std::function<void(std::optional<QString> error)>;
    struct Shown {
        uint serverId = 0;
        DeliveredNotification notification;
    };

    QDBusMessage methodCall(const QString& method) const;
    void post(std::function<void()> work);
    // Asks the server for its capabilities; callers arriving while a question
    // is out share its answer.
    void probe(ProbeCompletion completion);
    void finishProbe(std::optional<QString> error);
    void deliverDue();
    void show(NotificationRequest request);
    void notify(NotificationRequest request);
    std::optional<Shown> takeShown(uint serverId);
    // Takes one of our notifications off the screen.
    void closeOnServer(uint serverId);

    QDBusConnection m_bus;
    Options m_options;
    NotificationSchedule m_schedule;
    QTimer m_timer;
    QList<NotificationCategory> m_categories;
    QList<Shown> m_shown; // in the order they were shown
    std::vector<ProbeCompletion> m_probeWaiters;
    FreedesktopNotification::ServerTraits m_server;
    ResponseHandler m_responseHandler;
};

} // namespace quorrin
