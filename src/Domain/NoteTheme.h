#pragma once

#include "Domain/NoteColor.h"
#include "Core/Text/AttributedString.h"

#include <QtGlobal>

namespace quorrin {

// The appearance a colour is drawn in. Anything that is not clearly dark
// counts as light.
enum class Appearance { Light, Dark };

// A colour that takes one value in the light appearance and another in the
// dark one; a fixed colour has the same value in both.
struct DynamicColor {
    Rgba light;
    Rgba dark;

    static DynamicColor fixed(Rgba value) { return DynamicColor{value, value}; }
    static DynamicColor fromHex(quint32 lightRgb, quint32 darkRgb);

    Rgba resolved(Appearance appearance) const { return appearance == Appearance::Dark ? dark : light; }
    // The same colour with its alpha replaced, in both appearances.
    DynamicColor withAlpha(double alpha) const;

    friend bool operator==(const DynamicColor&, const DynamicColor&) = default;
};

Rgba rgbaFromHex(quint32 rgb, double alpha = 1);

// The desktop's standard colours as light/dark pairs.
namespace SystemColor {
DynamicColor label();
DynamicColor secondaryLabel();
DynamicColor windowBackground();
DynamicColor separator();
DynamicColor controlAccent();
DynamicColor white();
} // namespace SystemColor

// The palette with which the controls drawn on or beside a note are tinted.
struct NoteTheme {
    DynamicColor accent;        // icons, highlights, selected states
    DynamicColor accentSoft;    // faint accent fill
    DynamicColor surface;       // background of panels and surfaces beside the note
    DynamicColor surfaceBorder; // hairline border of those surfaces
    DynamicColor hover;         // background of a control under the pointer
    DynamicColor text;
    DynamicColor secondaryText;
    DynamicColor onAccent;      // text or icons drawn on an accent fill

    // The theme of a surface that no note has tinted yet; made once.
    static const NoteTheme& neutral();

    friend bool operator==(const NoteTheme&, const NoteTheme&) = default;
};

namespace noteColor {
// The note's paper: the window background.
DynamicColor color(NoteColor color);
// A new theme for the colour.
NoteTheme theme(NoteColor color);
} // namespace noteColor

namespace PriorityStyle {
// The colour of a todo priority: 1 (most urgent) to 4; anything below 1 counts
// as 1 and anything above 4 as 4.
Rgba color(qint64 priority);
} // namespace PriorityStyle

} // namespace quorrin
