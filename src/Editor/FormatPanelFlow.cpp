#include "Editor/FormatPanelFlow.h"

#include <utility>

namespace quorrin {

FormatPanelFlow::Show FormatPanelFlow::show()
{
    m_hidePending = false;
    Show plan;
    plan.appears = !m_showing;
    if (!m_showing) {
        plan.collapseBarNow = true;
        m_expanded = false;
        m_collapsePending = false;
        m_showing = true;
    }
    plan.expanded = m_expanded;
    return plan;
}

bool FormatPanelFlow::enter()
{
    if (!m_showing)
        return false;
    m_collapsePending = false;
    if (m_expanded)
        return false;
    m_expanded = true;
    return true;
}

bool FormatPanelFlow::leave()
{
    if (!m_showing || !m_expanded || m_held)
        return false;
    m_collapsePending = true;
    return true;
}

bool FormatPanelFlow::collapseDue()
{
    const bool due = m_collapsePending && m_showing && m_expanded && !m_held;
    m_collapsePending = false;
    if (due)
        m_expanded = false;
    return due;
}

void FormatPanelFlow::holdExpanded()
{
    if (!m_showing || !m_expanded)
        return;
    m_held = true;
    m_collapsePending = false;
}

bool FormatPanelFlow::releaseExpanded()
{
    return std::exchange(m_held, false) && leave();
}

FormatPanelFlow::Hide FormatPanelFlow::hide()
{
    Hide plan;
    m_held = false;
    plan.collapseBarNow = true;
    m_collapsePending = false;
    if (!m_showing) {
        m_expanded = false;
        return plan;
    }
    m_showing = false;
    m_expanded = false;
    m_hidePending = true;
    plan.fadeOut = true;
    return plan;
}

bool FormatPanelFlow::hideFaded()
{
    const bool orderOut = m_hidePending && !m_showing;
    m_hidePending = false;
    return orderOut;
}

void FormatPanelFlow::park()
{
    m_showing = m_expanded = m_collapsePending = m_hidePending = m_held = false;
}

} // namespace quorrin
