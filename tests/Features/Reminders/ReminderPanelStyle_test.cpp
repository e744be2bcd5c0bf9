#include "Features/Reminders/ReminderPanelStyle.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

using namespace reminderPanelStyle;

ReminderDraft weeklyDraft()
{
    ReminderDraft draft;
    draft.frequency = RepeatRule::Frequency::Weekly;
    draft.weekdays = {2, 4};
    return draft;
}

TEST(ReminderPanelStyle, SelectionFollowsTheQuickChoiceFrequencyAndWeekdays)
{
    struct Case {
        ButtonGroup group;
        int tag;
        bool selected;
    };
    const ReminderDraft draft = weeklyDraft();
    for (const Case& each : {Case{ButtonGroup::QuickChoice, 1, true}, Case{ButtonGroup::QuickChoice, 0, false},
                             Case{ButtonGroup::Frequency, 2, true}, Case{ButtonGroup::Frequency, 0, false},
                             Case{ButtonGroup::Weekday, 4, true}, Case{ButtonGroup::Weekday, 3, false},
                             Case{ButtonGroup::Plain, 0, false}, Case{ButtonGroup::Save, 0, false}}) {
        EXPECT_EQ(isSelected(each.group, each.tag, ReminderQuickChoice::TomorrowNine, draft), each.selected)
            << int(each.group) << " " << each.tag;
    }
    ReminderDraft once;
    EXPECT_TRUE(isSelected(ButtonGroup::Frequency, 0, ReminderQuickChoice::Custom, once));
    EXPECT_FALSE(isSelected(ButtonGroup::Frequency, 1, ReminderQuickChoice::Custom, once));
}

TEST(ReminderPanelStyle, OnlyTheSaveButtonIsFilledChipsAreFramed)
{
    const NoteTheme theme = noteColor::theme(NoteColor::Blue);
    const ReminderDraft draft = weeklyDraft();
    const ButtonStyle save = style(ButtonGroup::Save, 0, theme, ReminderQuickChoice::Custom, draft);
    EXPECT_EQ(save.restingBackground, theme.accent);
    EXPECT_EQ(save.titleColor, theme.onAccent);
    EXPECT_TRUE(save.semibold);
    ASSERT_TRUE(save.hoverBackground);
    EXPECT_GT(save.hoverBackground->light.red, theme.accent.light.red - 1e-9);
    EXPECT_NEAR(save.hoverBackground->light.red, theme.accent.light.red + (1 - theme.accent.light.red) * 0.12, 1e-9);

    const ButtonStyle chosenChip = style(ButtonGroup::QuickChoice, 2, theme, ReminderQuickChoice::Custom, draft);
    EXPECT_TRUE(chosenChip.isChip);
    EXPECT_EQ(chosenChip.cornerRadius, 7);
    EXPECT_EQ(chosenChip.borderWidth, 1);
    EXPECT_EQ(chosenChip.borderColor, theme.accent);
    EXPECT_EQ(chosenChip.restingBackground, theme.accentSoft);
    const ButtonStyle otherChip = style(ButtonGroup::QuickChoice, 0, theme, ReminderQuickChoice::Custom, draft);
    EXPECT_EQ(otherChip.borderColor, theme.accent.withAlpha(0.38));
    EXPECT_EQ(otherChip.restingBackground.light.alpha, 0);
    ASSERT_TRUE(otherChip.hoverBackground);

    const ButtonStyle plain = style(ButtonGroup::Plain, 600, theme, ReminderQuickChoice::Custom, draft);
    EXPECT_FALSE(plain.hoverBackground);
    EXPECT_EQ(plain.cornerRadius, 6);
    EXPECT_EQ(plain.borderWidth, 0);
    EXPECT_EQ(plain.contentTint, theme.accent);
    EXPECT_FALSE(plain.semibold);
    EXPECT_TRUE(style(ButtonGroup::Weekday, 2, theme, ReminderQuickChoice::Custom, draft).semibold);
}

} // namespace
} // namespace quorrin
