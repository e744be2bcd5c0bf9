#include "Editor/FormatPanel.h"

namespace quorrin::formatbar {
namespace {

bool editing(const Conditions& c)
{
    return canShow(c) && c.windowVisible && c.textFocused && !c.markedText;
}

} // namespace

bool canShow(const Conditions& c)
{
    return c.hasPanel && c.windowActive && !c.noteCollapsed;
}

Scheduling schedule(const Conditions& c)
{
    if (!editing(c))
        return Scheduling::Hide;
    return c.selectionEmpty ? Scheduling::AfterDelay : Scheduling::Now;
}

bool present(const Conditions& c, bool hasAnchor)
{
    return editing(c) && hasAnchor;
}

bool reposition(const Conditions& c, bool hasAnchor)
{
    return canShow(c) && hasAnchor;
}

} // namespace quorrin::formatbar
