#include "Features/Reminders/ReminderPanelLayout.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

using namespace reminderPanelLayout;

TEST(ReminderPanelLayout, GoesRightOfTheNoteOrLeftAndStaysInsideTheScreen)
{
    const QRectF screen(0, 0, 1600, 1000);
    const QSizeF size(308, 245);
    struct Case {
        QRectF note;
        QRectF anchor;
        QPointF expected;
    };
    const Case cases[] = {
        {{100, 200, 300, 400}, {120, 260, 200, 20}, {408, 252}},  // right, top 8 above the line
        {{1200, 200, 300, 400}, {1220, 260, 200, 20}, {884, 252}}, // no room right: left, 8 away
        {{1300, 0, 300, 400}, {1320, 4, 200, 20}, {984, 6}},      // near the top: 6 inside
        {{0, 700, 1590, 300}, {10, 990, 200, 20}, {6, 749}},      // wide note at the bottom corner
    };
    for (const Case& c : cases)
        EXPECT_EQ(placement(c.note, c.anchor, size, screen).topLeft(), c.expected) << c.note.x();
}

TEST(ReminderPanelLayout, ResizingKeepsTheTopAndTheScreenMargin)
{
    EXPECT_EQ(resized(QRectF(10, 100, 308, 245), 300.2, QRectF(0, 0, 1600, 1000)), QRectF(10, 100, 308, 325));
    EXPECT_EQ(resized(QRectF(10, 900, 308, 245), 200, QRectF(0, 0, 1600, 1000)), QRectF(10, 770, 308, 224));
}

TEST(ReminderPanelLayout, TheHourFollowsTheDateFieldsOfTheLocale)
{
    EXPECT_EQ(hourSegmentOffset(QLocale(QLocale::Chinese, QLocale::China)), 3);
    EXPECT_EQ(hourSegmentOffset(QLocale(QLocale::English, QLocale::UnitedStates)), 3);
    EXPECT_EQ(hourSegmentOffset(QStringLiteral("HH:mm dd.MM.yyyy")), 0);
    EXPECT_EQ(hourSegmentOffset(QStringLiteral("'day' d 'of' MMMM yyyy', at' h:mm")), 3);
    EXPECT_EQ(hourSegmentOffset(QStringLiteral("yyyy-MM-dd")), 3);
}

TEST(ReminderPanelLayout, ThePickerShowsTheFullYearAndNoSeconds)
{
    struct Case {
        QLocale locale;
        QString pattern;
        QString minutes;
    };
    for (const Case& each :
         {Case{QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("yyyy/M/d HH:mm"), QStringLiteral("HH:mm")},
          Case{QLocale(QLocale::English, QLocale::UnitedStates), QStringLiteral("M/d/yyyy h:mm AP"),
               QStringLiteral("h:mm AP")},
          Case{QLocale(QLocale::German, QLocale::Germany), QStringLiteral("dd.MM.yyyy HH:mm"), QStringLiteral("HH:mm")},
          Case{QLocale::c(), QStringLiteral("d MMM yyyy HH:mm"), QStringLiteral("HH:mm")}}) {
        EXPECT_EQ(pickerPattern(each.locale), each.pattern) << each.locale.name().toStdString();
        EXPECT_EQ(minutePattern(each.locale), each.minutes) << each.locale.name().toStdString();
        EXPECT_EQ(hourSegmentOffset(each.locale), 3) << each.locale.name().toStdString();
    }
}

TEST(ReminderPanelLayout, AnimationsStopWithThePreferenceOrReducedMotion)
{
    EXPECT_DOUBLE_EQ(animationDuration(true, false), 0.18);
    EXPECT_DOUBLE_EQ(animationDuration(false, false), 0);
    EXPECT_DOUBLE_EQ(animationDuration(true, true), 0);
}

} // namespace
} // namespace quorrin
