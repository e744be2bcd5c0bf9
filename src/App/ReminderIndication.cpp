#include "App/ReminderIndication.h"

namespace quorrin {

ReminderIndicator reminderIndicator(const std::vector<ReminderAlarmCenter::Alarm>& alarms)
{
    if (alarms.empty())
        return {std::nullopt, QStringLiteral("Quorrin · 点击浮起全部便笺"), QStringLiteral("Quorrin")};
    return {alarms.front().color, QStringLiteral("Quorrin · 待办提醒到时间；点击便笺中的事项结束提醒"),
            QStringLiteral("Quorrin，有待办提醒到时间")};
}

} // namespace quorrin
