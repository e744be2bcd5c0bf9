#include "Features/Reminders/NotificationPlan.h"

#include <QHash>
#include <QMetaType>
#include <QTextBoundaryFinder>

#include <cmath>

namespace quorrin {

namespace {

QString uuidText(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

// The first `count` user-perceived characters: an emoji sequence or a letter
// with combining marks is never split.
QString leadingGraphemes(const QString& text, qsizetype count)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (qsizetype taken = 0; taken < count; ++taken) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0)
            return text;
        end = next;
    }
    return text.left(end);
}

bool isNumber(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

// Whether the wall-clock time names a real moment; one that does not cannot
// fire as floating components and falls back to the stored date.
bool resolves(const LocalReminderTime& localTime)
{
    return localTime.date(Calendar(QTimeZone::utc())).has_value();
}

} // namespace

namespace reminderNotification {

QString identifier(const QUuid& noteID, const QUuid& blockID)
{
    return identifierPrefix + uuidText(noteID) + u'.' + uuidText(blockID);
}

bool isOwned(const QString& identifier)
{
    return identifier.startsWith(identifierPrefix);
}

Date effectiveDate(const TodoReminder& reminder, const Calendar& calendar)
{
    if (!reminder.localTime)
        return reminder.date;
    return reminder.localTime->date(calendar).value_or(reminder.date);
}

const TodoReminder* activeReminder(const Block& block)
{
    if (block.kind != BlockKind::Todo || !block.todo)
        return nullptr;
    const TodoMetadata& todo = *block.todo;
    if (todo.isCompleted || todo.archivedAt || !todo.reminder)
        return nullptr;
    return &*todo.reminder;
}

QString taskText(const Block& block)
{
    const std::optional<AttributedString> text = block.text.read();
    return text ? text->string() : QString();
}

} // namespace reminderNotification

ReminderPresentation ReminderPresentation::make(const QString& noteTitle, const QString& task, bool privacy)
{
    if (privacy)
        return ReminderPresentation{reminderTitle, QString(), privateBody};
    QString trimmed = task.trimmed();
    if (trimmed.isEmpty())
        trimmed = unnamedTask;
    const QString body = QStringLiteral("到时间了：「") + leadingGraphemes(trimmed, longestTask) + QStringLiteral("」");
    return ReminderPresentation{reminderTitle, noteTitle, body};
}

std::vector<ReminderPlan> ReminderPlan::desired(const std::vector<Note>& notes, bool privacy, Date now,
                                                const Calendar& calendar)
{
    std::vector<ReminderPlan> plans;
    for (const Note& note : notes) {
        if (note.deletedAt)
            continue;
        for (const Block& block : note.blocks) {
            const TodoReminder* reminder = reminderNotification::activeReminder(block);
            if (!reminder)
                continue;
            const Date date = reminderNotification::effectiveDate(*reminder, calendar);
            if (!(date > now))
                continue;
            plans.push_back(ReminderPlan{
                reminderNotification::identifier(note.id, block.id),
                note.id,
                block.id,
                date,
                ReminderPresentation::make(note.title(), reminderNotification::taskText(block), privacy),
                reminder->localTime,
            });
        }
    }
    return plans;
}

NotificationRequest ReminderPlan::request() const
{
    NotificationContent content;
    content.categoryIdentifier = reminderNotification::categoryIdentifier;
    content.title = presentation.title;
    content.subtitle = presentation.subtitle;
    content.body = presentation.body;
    content.sound = true;
    content.userInfo = {
        {reminderNotification::noteIDKey, uuidText(noteID)},
        {reminderNotification::blockIDKey, uuidText(blockID)},
        {reminderNotification::scheduledAtKey, date.secondsSince1970()},
    };

    CalendarTrigger trigger;
    if (localTime && resolves(*localTime)) {
        trigger = CalendarTrigger::floating(Calendar::Components{int(localTime->year), int(localTime->month),
                                                                 int(localTime->day), int(localTime->hour),
                                                                 int(localTime->minute), 0, 1});
    } else {
        const Calendar gmt(QTimeZone::utc());
        trigger = CalendarTrigger::fixed(gmt.components(date), gmt.timeZone());
    }
    return NotificationRequest{identifier, std::move(content), trigger};
}

bool ReminderPlan::matches(const NotificationRequest& request, Date now, const QTimeZone& systemZone) const
{
    if (!request.trigger)
        return false;
    const std::optional<Date> next = request.trigger->nextTriggerDate(now, systemZone);
    if (!next)
        return false;
    const NotificationContent& content = request.content;
    if (content.categoryIdentifier != reminderNotification::categoryIdentifier)
        return false;
    if (content.title != presentation.title || content.subtitle != presentation.subtitle
        || content.body != presentation.body)
        return false;
    const QVariant note = content.userInfo.value(reminderNotification::noteIDKey);
    if (note.metaType().id() != QMetaType::QString || note.toString() != uuidText(noteID))
        return false;
    return std::abs(next->secondsSinceReferenceDate - date.secondsSinceReferenceDate) < 1.0;
}

ReminderReconcileDiff reconcileReminderNotifications(const std::vector<ReminderPlan>& wanted,
                                                     const QList<NotificationRequest>& pending, Date now,
                                                     const QTimeZone& systemZone)
{
    QHash<QString, const ReminderPlan*> wantedByIdentifier;
    for (const ReminderPlan& plan : wanted)
        wantedByIdentifier.insert(plan.identifier, &plan);
    QHash<QString, const NotificationRequest*> pendingByIdentifier;
    for (const NotificationRequest& request : pending)
        pendingByIdentifier.insert(request.identifier, &request);

    ReminderReconcileDiff diff;
    for (const NotificationRequest& request : pending) {
        if (reminderNotification::isOwned(request.identifier) && !wantedByIdentifier.contains(request.identifier)
            && !diff.stalePending.contains(request.identifier))
            diff.stalePending.append(request.identifier);
    }
    for (const ReminderPlan& plan : wanted) {
        const NotificationRequest* current = pendingByIdentifier.value(plan.identifier, nullptr);
        if (current && plan.matches(*current, now, systemZone))
            continue;
        if (plan.date > now)
            diff.toAdd.push_back(plan);
        else if (current && !diff.stalePending.contains(plan.identifier))
            diff.stalePending.append(plan.identifier);
    }
    return diff;
}

QStringList staleDeliveredNotifications(const std::vector<Note>& notes, bool privacy,
                                        const QList<DeliveredNotification>& delivered, const Calendar& calendar)
{
    // Only a todo with an active reminder can stand behind a notification:
    // the rest of a note of many lines is passed over without naming it.
    QHash<QString, std::pair<const Note*, const Block*>> liveTodos;
    for (const Note& note : notes) {
        if (note.deletedAt)
            continue;
        for (const Block& block : note.blocks) {
            if (!reminderNotification::activeReminder(block))
                continue;
            const QString identifier = reminderNotification::identifier(note.id, block.id);
            if (!liveTodos.contains(identifier))
                liveTodos.insert(identifier, {&note, &block});
        }
    }

    const auto standsBehind = [&](const NotificationRequest& request) {
        const auto found = liveTodos.constFind(request.identifier);
        if (found == liveTodos.cend())
            return false;
        const auto [note, block] = *found;
        const TodoReminder* reminder = reminderNotification::activeReminder(*block);
        const QVariant scheduledAt = request.content.userInfo.value(reminderNotification::scheduledAtKey);
        if (!isNumber(scheduledAt))
            return false;
        const ReminderPresentation presentation =
            ReminderPresentation::make(note->title(), reminderNotification::taskText(*block), privacy);
        if (presentation
            != ReminderPresentation{request.content.title, request.content.subtitle, request.content.body})
            return false;
        const double due = reminderNotification::effectiveDate(*reminder, calendar).secondsSince1970();
        return std::abs(due - scheduledAt.toDouble()) < 1.0;
    };

    QStringList stale;
    for (const DeliveredNotification& notification : delivered) {
        const QString& identifier = notification.request.identifier;
        if (reminderNotification::isOwned(identifier) && !standsBehind(notification.request)
            && !stale.contains(identifier))
            stale.append(identifier);
    }
    return stale;
}

} // namespace quorrin
