#pragma once

#include "Domain/NoteTheme.h"
#include "Features/Reminders/ReminderDraft.h"

#include <optional>

namespace quorrin {

// How one button of the reminder panel looks for the panel's theme and the
// edited draft. Pure: the panel applies it to its buttons on every pass.
namespace reminderPanelStyle {

// The groups a button of the panel belongs to; its tag tells which choice
// it stands for within the group.
enum class ButtonGroup { Plain, Save, QuickChoice, Frequency, Weekday };

struct ButtonStyle {
    bool isChip = false;
    bool isSelected = false;
    DynamicColor accent;
    std::optional<DynamicColor> hoverBackground; // none: the button's own hover
    DynamicColor restingBackground;
    DynamicColor titleColor;
    DynamicColor contentTint;
    bool semibold = false;
    double cornerRadius = 6;
    double borderWidth = 0;
    DynamicColor borderColor;
};

// Whether the button of `group` with `tag` shows the draft's choice: the
// quick choice's raw value, the frequency (0 none, 1 daily, 2 weekly,
// 3 monthly) or a chosen weekday.
bool isSelected(ButtonGroup group, int tag, ReminderQuickChoice quickChoice, const ReminderDraft& draft);

ButtonStyle style(ButtonGroup group, int tag, const NoteTheme& theme, ReminderQuickChoice quickChoice,
                  const ReminderDraft& draft);

// The accent blended 12 % toward white: the save button under the pointer.
DynamicColor saveHover(const DynamicColor& accent);

} // namespace reminderPanelStyle
} // namespace quorrin
