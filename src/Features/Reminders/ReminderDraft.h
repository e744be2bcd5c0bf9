#pragma once

#include "Domain/Todo.h"
#include "Core/Time/Calendar.h"
#include "Core/Time/Date.h"

#include <QString>

#include <array>
#include <optional>
#include <set>

namespace quorrin {

// The quick date choices of the reminder panel; the raw values are stable.
enum class ReminderQuickChoice { OneHour = 0, TomorrowNine = 1, Custom = 2 };

namespace reminderQuickChoice {

inline constexpr std::array<ReminderQuickChoice, 3> allCases = {
    ReminderQuickChoice::OneHour, ReminderQuickChoice::TomorrowNine, ReminderQuickChoice::Custom};

inline int rawValue(ReminderQuickChoice choice)
{
    return int(choice);
}
// Nothing for a value outside 0...2.
std::optional<ReminderQuickChoice> fromRawValue(int raw);
QString label(ReminderQuickChoice choice);

} // namespace reminderQuickChoice

// The reminder of one todo while the panel edits it: made from the stored
// reminder (or a default), changed field by field, and finally turned back
// into the reminder to store. A plain value without side effects.
struct ReminderDraft {
    static constexpr double defaultLeadSeconds = 3600;

    // The chosen moment; for a repeating reminder the first wanted occurrence
    // and the time of day.
    Date date;
    // No frequency: a one-off reminder.
    std::optional<RepeatRule::Frequency> frequency;
    std::set<qint64> weekdays; // of a weekly rule, 1 = Sunday ... 7 = Saturday
    qint64 monthDay = 1;       // of a monthly rule
    // The reminder the draft was made from, to recognise an unchanged draft.
    std::optional<TodoReminder> original;

    // Without a reminder the draft starts an hour after `now` without
    // repetition; weekdays and day of month then come from that date.
    static ReminderDraft make(const std::optional<TodoReminder>& reminder, Date now, const Calendar& calendar);

    // The reminder to store: the original itself when nothing that matters
    // changed (even when its date has passed); a one-off reminder on the whole
    // minute of `date`; or the first occurrence of the rule at or after that
    // minute, with its wall-clock time. Nothing when the rule has no
    // occurrence (a weekly rule without weekdays, for one).
    std::optional<TodoReminder> planned(const Calendar& calendar) const;

    friend bool operator==(const ReminderDraft&, const ReminderDraft&) = default;

private:
    bool isUnchanged(const Calendar& calendar) const;
};

} // namespace quorrin
