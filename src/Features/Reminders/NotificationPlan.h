#pragma once

#include "Domain/Note.h"
#include "Domain/Todo.h"
#include "Core/Time/Calendar.h"
#include "Core/Time/Date.h"
#include "Core/Notifications/NotificationRequest.h"

#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>
#include <vector>

// The system notifications that todo reminders ought to have, as pure
// computation over notes: which requests should be pending, what each request
// looks like, whether a pending or delivered one still fits, and what to
// withdraw and add so the notification centre matches.

namespace quorrin {

namespace reminderNotification {

inline const QString identifierPrefix = QStringLiteral("Quorrin.todo.");
inline const QString categoryIdentifier = QStringLiteral("Quorrin.todo.actions");
inline const QString noteIDKey = QStringLiteral("noteID");
inline const QString blockIDKey = QStringLiteral("blockID");
inline const QString scheduledAtKey = QStringLiteral("scheduledAt"); // seconds since 1970

// "Quorrin.todo." + note UUID + "." + block UUID, both upper-case.
QString identifier(const QUuid& noteID, const QUuid& blockID);
// Whether the identifier belongs to this program's notifications.
bool isOwned(const QString& identifier);

// The moment a reminder is due: its wall-clock time in the calendar when it has
// one that resolves, else its stored date.
Date effectiveDate(const TodoReminder& reminder, const Calendar& calendar);

// The reminder of a block that should have a notification: a todo with todo
// data that is neither completed nor archived and has a reminder.
const TodoReminder* activeReminder(const Block& block);

// The task text of a todo block: the plain text of its rich text, empty when
// that cannot be read.
QString taskText(const Block& block);

} // namespace reminderNotification

struct ReminderPresentation {
    QString title;
    QString subtitle;
    QString body;

    inline static const QString reminderTitle = QStringLiteral("待办提醒");
    inline static const QString privateBody = QStringLiteral("你有一条待办提醒");
    inline static const QString unnamedTask = QStringLiteral("未命名待办");
    static constexpr qsizetype longestTask = 80; // user-perceived characters

    // In private mode neither the note title nor the task shows.
    static ReminderPresentation make(const QString& noteTitle, const QString& task, bool privacy);

    friend bool operator==(const ReminderPresentation&, const ReminderPresentation&) = default;
};

// One wanted notification for one todo block.
struct ReminderPlan {
    QString identifier;
    QUuid noteID;
    QUuid blockID;
    Date date; // effective date of the reminder
    ReminderPresentation presentation;
    std::optional<LocalReminderTime> localTime;

    // One plan per live todo whose reminder lies strictly after `now`, note by
    // note in the given order and within a note in stored block order. Notes
    // in the recently-deleted list have none.
    static std::vector<ReminderPlan> desired(const std::vector<Note>& notes, bool privacy, Date now,
                                             const Calendar& calendar);

    // A new request on every call. A wall-clock reminder fires on floating
    // components (following the user's time zone); any other at the whole UTC
    // second at or before `date`. Never repeats.
    NotificationRequest request() const;

    // Whether the pending request, already paired with this plan by
    // identifier, delivers this plan: its trigger still fires after `now`
    // within a second of `date`, with this category, texts and note.
    bool matches(const NotificationRequest& request, Date now, const QTimeZone& systemZone) const;

    friend bool operator==(const ReminderPlan&, const ReminderPlan&) = default;
};

// What a reconcile pass changes in the notification centre.
struct ReminderReconcileDiff {
    // Identifiers of pending requests of ours to withdraw: those no plan
    // wants, and those whose plan no longer fits them but is due by now, so
    // they can neither be replaced nor be left to fire with an old text.
    QStringList stalePending;
    // Plans to add (replacing a pending namesake), in plan order: those
    // without a matching pending request that are still due after `now`.
    std::vector<ReminderPlan> toAdd;

    friend bool operator==(const ReminderReconcileDiff&, const ReminderReconcileDiff&) = default;
};

ReminderReconcileDiff reconcileReminderNotifications(const std::vector<ReminderPlan>& wanted,
                                                     const QList<NotificationRequest>& pending, Date now,
                                                     const QTimeZone& systemZone);

// Identifiers of our delivered notifications that no live todo stands behind
// any more: the todo was completed, archived or removed, its note deleted, its
// reminder removed or moved by a second or more, or its texts changed
// (including by a switch of the privacy preference). How old they are does
// not matter.
QStringList staleDeliveredNotifications(const std::vector<Note>& notes, bool privacy,
                                        const QList<DeliveredNotification>& delivered, const Calendar& calendar);

} // namespace quorrin
