#include "Core/Notifications/NotificationRequest.h"

namespace quorrin {

std::optional<Date> CalendarTrigger::fireDate(const QTimeZone& systemZone) const
{
    return Calendar(timeZone.value_or(systemZone)).date(components);
}

std::optional<Date> CalendarTrigger::nextTriggerDate(Date now, const QTimeZone& systemZone) const
{
    const std::optional<Date> date = fireDate(systemZone);
    if (!date || *date <= now)
        return std::nullopt;
    return date;
}

} // namespace quorrin
