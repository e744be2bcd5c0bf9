#include "Core/Notifications/NotificationSchedule.h"

#include <algorithm>

namespace quorrin {

bool NotificationSchedule::add(NotificationRequest request, Date now, const QTimeZone& systemZone)
{
    remove({request.identifier});
    if (request.trigger && !request.trigger->nextTriggerDate(now, systemZone))
        return false;
    m_entries.append(Entry{std::move(request), now});
    return true;
}

void NotificationSchedule::remove(const QStringList& identifiers)
{
    m_entries.removeIf([&](const Entry& entry) { return identifiers.contains(entry.request.identifier); });
}

void NotificationSchedule::removeIfUnchanged(const NotificationRequest& request)
{
    m_entries.removeIf([&](const Entry& entry) { return entry.request == request; });
}

QList<NotificationRequest> NotificationSchedule::pending() const
{
    QList<NotificationRequest> requests;
    requests.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        requests.append(entry.request);
    return requests;
}

std::optional<Date> NotificationSchedule::dueDate(const Entry& entry, const QTimeZone& systemZone)
{
    if (!entry.request.trigger)
        return entry.addedAt;
    return entry.request.trigger->fireDate(systemZone);
}

std::optional<Date> NotificationSchedule::nextFireDate(const QTimeZone& systemZone) const
{
    std::optional<Date> earliest;
    for (const Entry& entry : m_entries) {
        const std::optional<Date> due = dueDate(entry, systemZone);
        if (due && (!earliest || *due < *earliest))
            earliest = due;
    }
    return earliest;
}

QList<NotificationRequest> NotificationSchedule::takeDue(Date now, const QTimeZone& systemZone)
{
    struct DueEntry {
        Date date;
        NotificationRequest request;
    };
    QList<DueEntry> due;
    QList<Entry> waiting;
    for (Entry& entry : m_entries) {
        const std::optional<Date> date = dueDate(entry, systemZone);
        if (date && *date <= now)
            due.append(DueEntry{*date, std::move(entry.request)});
        else
            waiting.append(std::move(entry));
    }
    m_entries = std::move(waiting);
    std::stable_sort(due.begin(), due.end(), [](const DueEntry& a, const DueEntry& b) { return a.date < b.date; });
    QList<NotificationRequest> requests;
    for (DueEntry& entry : due)
        requests.append(std::move(entry.request));
    return requests;
}

} // namespace quorrin
