#include "Features/Reminders/ReminderPanelStyle.h"

namespace quorrin::reminderPanelStyle {
namespace {

int frequencyTag(const std::optional<RepeatRule::Frequency>& frequency)
{
    if (!frequency)
        return 0;
    switch (*frequency) {
    case RepeatRule::Frequency::Daily:
        return 1;
    case RepeatRule::Frequency::Weekly:
        return 2;
    case RepeatRule::Frequency::Monthly:
        return 3;
    }
    return 0;
}

Rgba towardWhite(const Rgba& color, double fraction)
{
    return Rgba{color.red + (1 - color.red) * fraction, color.green + (1 - color.green) * fraction,
                color.blue + (1 - color.blue) * fraction, color.alpha};
}

const DynamicColor clear = DynamicColor::fixed(Rgba{0, 0, 0, 0});

} // namespace

bool isSelected(ButtonGroup group, int tag, ReminderQuickChoice quickChoice, const ReminderDraft& draft)
{
    switch (group) {
    case ButtonGroup::QuickChoice:
        return tag == reminderQuickChoice::rawValue(quickChoice);
    case ButtonGroup::Frequency:
        return tag == frequencyTag(draft.frequency);
    case ButtonGroup::Weekday:
        return draft.weekdays.count(tag) > 0;
    case ButtonGroup::Plain:
    case ButtonGroup::Save:
        return false;
    }
    return false;
}

DynamicColor saveHover(const DynamicColor& accent)
{
    return DynamicColor{towardWhite(accent.light, 0.12), towardWhite(accent.dark, 0.12)};
}

ButtonStyle style(ButtonGroup group, int tag, const NoteTheme& theme, ReminderQuickChoice quickChoice,
                  const ReminderDraft& draft)
{
    ButtonStyle result;
    result.isChip = group == ButtonGroup::QuickChoice;
    result.isSelected = isSelected(group, tag, quickChoice, draft);
    result.accent = theme.accent;
    if (group == ButtonGroup::Save) {
        result.hoverBackground = saveHover(theme.accent);
        result.restingBackground = theme.accent;
        result.titleColor = theme.onAccent;
        result.contentTint = theme.onAccent;
        result.semibold = true;
    } else {
        if (result.isChip || result.isSelected)
            result.hoverBackground = theme.accentSoft;
        result.restingBackground = result.isSelected ? theme.accentSoft : clear;
        result.titleColor = theme.text;
        result.contentTint = theme.accent;
        result.semibold = result.isSelected;
    }
    result.cornerRadius = result.isChip ? 7 : 6;
    result.borderWidth = result.isChip ? 1 : 0;
    if (!result.isChip)
        result.borderColor = clear;
    else
        result.borderColor = result.isSelected ? theme.accent : theme.accent.withAlpha(0.38);
    return result;
}

} // namespace quorrin::reminderPanelStyle
