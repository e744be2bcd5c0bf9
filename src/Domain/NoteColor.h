#pragma once

#include "Domain/RawValue.h"

#include <QString>

#include <array>
#include <optional>

namespace quorrin {

enum class NoteColor { Cream, Blue, Sage, Pink, Lavender, Orange, Gray, White };

namespace noteColor {

inline constexpr std::array<NoteColor, 8> allCases = {
    NoteColor::Cream, NoteColor::Blue,   NoteColor::Sage, NoteColor::Pink,
    NoteColor::Lavender, NoteColor::Orange, NoteColor::Gray, NoteColor::White,
};

inline QString rawValue(NoteColor color)
{
    switch (color) {
    case NoteColor::Cream: return QStringLiteral("cream");
    case NoteColor::Blue: return QStringLiteral("blue");
    case NoteColor::Sage: return QStringLiteral("sage");
    case NoteColor::Pink: return QStringLiteral("pink");
    case NoteColor::Lavender: return QStringLiteral("lavender");
    case NoteColor::Orange: return QStringLiteral("orange");
    case NoteColor::Gray: return QStringLiteral("gray");
    case NoteColor::White: return QStringLiteral("white");
    }
    return {};
}

// The colour's name as menus and the settings show it.
inline QString label(NoteColor color)
{
    switch (color) {
    case NoteColor::Cream: return QStringLiteral("奶油黄");
    case NoteColor::Blue: return QStringLiteral("雾霾蓝");
    case NoteColor::Sage: return QStringLiteral("鼠尾草绿");
    case NoteColor::Pink: return QStringLiteral("樱花粉");
    case NoteColor::Lavender: return QStringLiteral("淡薰衣草紫");
    case NoteColor::Orange: return QStringLiteral("杏仁橙");
    case NoteColor::Gray: return QStringLiteral("珍珠灰");
    case NoteColor::White: return QStringLiteral("纯净白");
    }
    return {};
}

// Exact, case-sensitive match; nothing for an unknown string.
inline std::optional<NoteColor> fromRawValue(const QString& raw)
{
    return caseNamed<NoteColor>(allCases, rawValue, raw);
}

} // namespace noteColor
} // namespace quorrin
