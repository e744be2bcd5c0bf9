#pragma once

#include "Core/Notifications/NotificationRequest.h"

#include <QStringList>

#include <optional>

namespace quorrin {

// The requests waiting for their triggers, at most one per identifier, and
// when each falls due. Fire dates are worked out afresh from the system's
// time zone on every question, so floating wall-clock triggers follow a
// change of time zone.
class NotificationSchedule {
public:
    // Adds the request, replacing a pending one with the same identifier.
    // A request without trigger falls due at `now`. A request whose trigger
    // names no date after `now` never fires and is not kept (an earlier
    // request with its identifier is still withdrawn); answers whether it was
    // kept.
    bool add(NotificationRequest request, Date now, const QTimeZone& systemZone);
    void remove(const QStringList& identifiers);
    // Withdraws the request with this identifier only if it is still exactly `request`.
    void removeIfUnchanged(const NotificationRequest& request);

    // In the order they were added.
    QList<NotificationRequest> pending() const;
    bool isEmpty() const { return m_entries.isEmpty(); }

    // The earliest moment at which a pending request falls due.
    std::optional<Date> nextFireDate(const QTimeZone& systemZone) const;
    // Removes and returns the requests due at `now`, earliest first.
    QList<NotificationRequest> takeDue(Date now, const QTimeZone& systemZone);

private:
    struct Entry {
        NotificationRequest request;
        Date addedAt;
    };
    static std::optional<Date> dueDate(const Entry& entry, const QTimeZone& systemZone);

    QList<Entry> m_entries;
};

} // namespace quorrin
