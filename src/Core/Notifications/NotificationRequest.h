#pragma once

#include "Core/Time/Calendar.h"
#include "Core/Time/Date.h"

#include <QLatin1String>
#include <QList>
#include <QString>
#include <QTimeZone>
#include <QVariantMap>

#include <optional>

namespace quorrin {

// A one-shot trigger that fires when the calendar reaches the given date and
// time. With a time zone the components name one fixed instant; without one
// they are floating wall-clock components that fire when the clock of
// whatever time zone the system is in at that moment shows them, so they
// follow the user across time-zone changes.
struct CalendarTrigger {
    Calendar::Components components; // weekday is ignored
    std::optional<QTimeZone> timeZone; // absent = floating

    static CalendarTrigger floating(Calendar::Components components) { return {components, std::nullopt}; }
    static CalendarTrigger fixed(Calendar::Components components, QTimeZone zone)
    {
        return {components, std::move(zone)};
    }

    // The instant the components name when the system is in `systemZone`;
    // nothing when they name no valid date.
    std::optional<Date> fireDate(const QTimeZone& systemZone) const;
    // The fire date when it still lies after `now`: the trigger never repeats.
    std::optional<Date> nextTriggerDate(Date now, const QTimeZone& systemZone) const;

    friend bool operator==(const CalendarTrigger&, const CalendarTrigger&) = default;
};

struct NotificationContent {
    QString title;
    QString subtitle;
    QString body;
    QString categoryIdentifier;
    QVariantMap userInfo;
    bool sound = false; // the desktop's default notification sound

    friend bool operator==(const NotificationContent&, const NotificationContent&) = default;
};

// A notification to show once its trigger fires; without a trigger it is shown
// at once. Requests are identified by their identifier: adding one whose
// identifier is already pending replaces the pending one.
struct NotificationRequest {
    QString identifier;
    NotificationContent content;
    std::optional<CalendarTrigger> trigger;

    friend bool operator==(const NotificationRequest&, const NotificationRequest&) = default;
};

// A request that has been shown and is still on screen or in the desktop's
// notification list.
struct DeliveredNotification {
    NotificationRequest request;
    Date date; // when it was shown

    friend bool operator==(const DeliveredNotification&, const DeliveredNotification&) = default;
};

struct NotificationAction {
    QString identifier;
    QString title;
    bool foreground = false; // answering brings the application forward

    friend bool operator==(const NotificationAction&, const NotificationAction&) = default;
};

// The buttons offered with every notification of one category.
struct NotificationCategory {
    QString identifier;
    QList<NotificationAction> actions;

    friend bool operator==(const NotificationCategory&, const NotificationCategory&) = default;
};

// Action identifiers the notification centre itself reports besides those of
// the categories.
namespace NotificationActionID {
inline constexpr QLatin1String open("default"); // the user clicked the notification
inline constexpr QLatin1String dismiss("dismiss"); // the user closed it without answering
} // namespace NotificationActionID

// The user's answer to a delivered notification.
struct NotificationResponse {
    DeliveredNotification notification;
    QString actionIdentifier;

    friend bool operator==(const NotificationResponse&, const NotificationResponse&) = default;
};

enum class AuthorizationStatus { notDetermined, denied, authorized, provisional, ephemeral };

struct NotificationSettings {
    AuthorizationStatus authorizationStatus = AuthorizationStatus::notDetermined;
    // Why notifications cannot be delivered, for the user; empty when they can.
    QString problem;

    bool allowsDelivery() const
    {
        return authorizationStatus == AuthorizationStatus::authorized
            || authorizationStatus == AuthorizationStatus::provisional;
    }

    friend bool operator==(const NotificationSettings&, const NotificationSettings&) = default;
};

} // namespace quorrin
