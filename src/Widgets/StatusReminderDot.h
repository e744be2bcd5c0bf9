#pragma once

#include "Domain/NoteColor.h"
#include "Domain/NoteTheme.h"

#include <QIcon>
#include <QRectF>

#include <optional>

class QPainter;

namespace quorrin {

// The small dot over the status-area icon while a reminder rings, in the
// accent colour of the ringing note. The tray shows pictures only, so the dot
// is drawn into the icon rather than laid over a button.
class StatusReminderDot {
public:
    // The tray button the dot's measurements are made for; other icon sizes
    // scale them.
    static constexpr double referenceExtent = 22;

    std::optional<NoteColor> noteColor;

    // Where the dot sits in an icon of `bounds`: 7 × 7 at the top right,
    // 9 from the right edge and 2 from the top, scaled with the icon.
    static QRectF dotRect(const QRectF& bounds);

    // Draws the dot into `bounds`; nothing without a colour.
    void draw(QPainter& painter, const QRectF& bounds, Appearance appearance) const;

    // `base` with the dot drawn over each of its sizes; `base` itself
    // without a colour.
    QIcon decorate(const QIcon& base, Appearance appearance) const;
};

} // namespace quorrin
