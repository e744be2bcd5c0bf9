#pragma once

#include "Features/Reminders/ReminderAlarmCenter.h"

#include <QString>

#include <optional>
#include <vector>

namespace quorrin {

// What the status-area icon shows about ringing reminders.
struct ReminderIndicator {
    std::optional<NoteColor> dotColor; // the first ringing note's colour
    QString toolTip;
    QString accessibleName;

    friend bool operator==(const ReminderIndicator&, const ReminderIndicator&) = default;
};

ReminderIndicator reminderIndicator(const std::vector<ReminderAlarmCenter::Alarm>& alarms);

} // namespace quorrin
