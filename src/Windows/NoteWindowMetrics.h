#pragma once

// Sizes, durations and looks shared by the note window controller's source files.

#include "Domain/NoteTheme.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"
#include "Widgets/NoteIcons.h"

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

namespace quorrin::notewindow {

inline constexpr double titleBarHeight = 23;  // the transparent strip above the header
inline constexpr double headerHeight = 28;
inline constexpr QSize headerButtonSize{26, 28};
// The close button sits at the leading end of the strip above the header,
// clear of the 4 pt resize margins.
inline constexpr QRect closeButtonGeometry{8, 4, 16, 16};
inline constexpr double minimumWidth = 250;
inline constexpr double minimumExpandedHeight = 160;
inline constexpr int collapseDurationMs = 200;
inline constexpr int layerIconDurationMs = 160;
inline constexpr double layerIconShift = 4;

inline const QString renameActionName = QStringLiteral("重命名便笺");

inline QColor resolved(const DynamicColor& color, const QWidget& widget)
{
    return toQColor(color, SystemAppearance::of(widget.palette()));
}

struct LayerAppearance {
    NoteSymbol symbol;
    QString label;
    DynamicColor tint;
};

inline LayerAppearance layerAppearance(bool top)
{
    if (top)
        return {NoteSymbol::ArrowUpToLine, QStringLiteral("所有便笺当前置顶；点击切换到桌面底层"),
                SystemColor::controlAccent()};
    return {NoteSymbol::ArrowDownToLine, QStringLiteral("所有便笺当前在桌面底层；点击切换到最上层"),
            SystemColor::secondaryLabel()};
}

} // namespace quorrin::notewindow
