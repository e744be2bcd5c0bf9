#pragma once

namespace quorrin {

// The states of a format panel and what each request makes of them, without
// widgets or timers: the panel carries out the answers and reports back when
// its delayed collapse or its fade-out has run.
//
// hidden -> shown collapsed (the orb) <-> shown expanded (the bar).
class FormatPanelFlow {
public:
    static constexpr int fadeMs = 80;           // fading in and out
    static constexpr int crossFadeMs = 160;     // orb <-> bar
    static constexpr int resizeMs = 180;        // the frame growing and shrinking
    static constexpr int slideMs = 160;         // a collapsed panel following the caret
    static constexpr int collapseDelayMs = 300; // after the pointer left

    bool isShowing() const { return m_showing; }
    bool isExpanded() const { return m_expanded; }
    bool isCollapsePending() const { return m_collapsePending; }
    bool isHidePending() const { return m_hidePending; }
    bool isHeldExpanded() const { return m_held; }

    struct Show {
        bool appears = false;        // first show after hidden: summon and fade in
        bool collapseBarNow = false; // the bar shows its orb at once
        bool expanded = false;       // the width to show at
    };
    // Cancels a pending order-out.
    Show show();

    // The pointer entered the panel or the orb was clicked: true to expand
    // (animated), which cancels a pending collapse.
    bool enter();
    // The pointer left: true when a collapse is now due after the delay.
    bool leave();
    // The delayed collapse ran: true to collapse (animated).
    bool collapseDue();

    // A menu of the bar opened (the pointer leaves the bar for it): the bar
    // stays expanded, nothing pending, until the menu closes.
    void holdExpanded();
    // The menu closed: true when a collapse is now due after the delay (the
    // panel checks then whether the pointer came back over it).
    bool releaseExpanded();

    struct Hide {
        bool fadeOut = false;        // fade, then order out when it ends
        bool collapseBarNow = false;
    };
    Hide hide();
    // The fade-out ended: true to order the panel out (no show came between).
    bool hideFaded();

    // Parks the panel hidden; nothing pending.
    void park();

private:
    bool m_showing = false;
    bool m_expanded = false;
    bool m_collapsePending = false;
    bool m_hidePending = false;
    bool m_held = false;
};

} // namespace quorrin
