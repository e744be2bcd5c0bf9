#include "App/ReminderIndication.h"

#include <gtest/gtest.h>


namespace quorrin {
namespace {

ReminderAlarmCenter::Alarm alarm(NoteColor color)
{
    return {QUuid::createUuid(), QUuid::createUuid(), color};
}

TEST(ReminderIndication, ShowsTheFirstRingingNotesColourAndTheRingingTexts)
{
    struct Case {
        std::vector<ReminderAlarmCenter::Alarm> alarms;
        std::optional<NoteColor> dot;
        QString toolTip;
        QString accessibleName;
    };
    const Case cases[] = {
        {{}, std::nullopt, "Quorrin · 点击浮起全部便笺", "Quorrin"},
        {{alarm(NoteColor::Blue)}, NoteColor::Blue, "Quorrin · 待办提醒到时间；点击便笺中的事项结束提醒",
         "Quorrin，有待办提醒到时间"},
        {{alarm(NoteColor::Pink), alarm(NoteColor::Blue), alarm(NoteColor::Cream)}, NoteColor::Pink,
         "Quorrin · 待办提醒到时间；点击便笺中的事项结束提醒", "Quorrin，有待办提醒到时间"},
    };
    for (const Case& c : cases) {
        const ReminderIndicator indicator = reminderIndicator(c.alarms);
        EXPECT_EQ(indicator.dotColor, c.dot);
        EXPECT_EQ(indicator.toolTip, c.toolTip);
        EXPECT_EQ(indicator.accessibleName, c.accessibleName);
    }
}

} // namespace
} // namespace quorrin
