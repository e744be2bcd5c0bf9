#include "Features/Panels/PanelStyle.h"

#include <QLabel>
#include <QPalette>

namespace quorrin::PanelStyle {

namespace {
void scaleFont(QLabel& label, double factor, bool bold)
{
    QFont font = label.font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    font.setBold(bold);
    label.setFont(font);
}
} // namespace

void makeTitle(QLabel& label)
{
    scaleFont(label, 1.4, true);
}

void makeHeadline(QLabel& label)
{
    scaleFont(label, 1.0, true);
}

void makeSecondary(QLabel& label)
{
    label.setForegroundRole(QPalette::PlaceholderText);
}

void makeCaption(QLabel& label)
{
    scaleFont(label, 0.85, false);
    makeSecondary(label);
}

} // namespace quorrin::PanelStyle
