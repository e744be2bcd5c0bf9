#pragma once

#include <QRectF>

class QWidget;

namespace quorrin {

class TextFormatTarget;

// A note's floating format panel, as the editor (the body's panel) and the
// note window (both panels) drive it.
class FormatPanel {
public:
    virtual ~FormatPanel() = default;

    // Shows the panel beside a rectangle in global coordinates; a panel not
    // yet attached to the note window attaches itself as its child, above it
    // and at its level.
    virtual void show(const QRectF& nearGlobal, QWidget& noteWindow) = 0;
    virtual void hide() = 0;
    // True while the panel is on the screen, as its bar or its orb.
    virtual bool isShown() const = 0;
    // True while the panel shows its full bar rather than its collapsed orb.
    virtual bool isExpanded() const = 0;
    // Pulls the theme and the current format from its target again.
    virtual void refreshBar() = 0;
    // Parks the panel, collapsed and invisible, beside the note window.
    virtual void prepareHidden(QWidget& noteWindow) { (void)noteWindow; }
    // Points the bar at another target (the title's panel, for a new edit).
    virtual void retarget(TextFormatTarget* target) { (void)target; }
    // Takes the panel off the screen for good.
    virtual void orderOut() {}
};

// When the format bar is shown, moved or hidden.
namespace formatbar {

struct Conditions {
    bool hasPanel = false;
    bool windowActive = false;   // the note window is the active window
    bool noteCollapsed = false;
    bool windowVisible = false;
    bool textFocused = false;    // the text has the keyboard focus
    bool markedText = false;     // an input method is composing
    bool selectionEmpty = true;
};

// The panel may show at all: there is one, its window is active and the note is open.
bool canShow(const Conditions& c);

enum class Scheduling {
    Hide,
    Now,        // a selection: at once
    AfterDelay, // a caret: after a short pause
};
inline constexpr int caretDelayMs = 80;
inline constexpr int typingDelayMs = 550;

Scheduling schedule(const Conditions& c);
// Whether a presentation shows the panel (else it hides it).
bool present(const Conditions& c, bool hasAnchor);
// Whether a shown panel follows the caret (else it hides it): the visibility,
// focus and composition conditions are not asked. A hidden panel stays
// hidden: scrolling or a new size while the focus is elsewhere (the title,
// the find bar) never brings it up.
bool reposition(const Conditions& c, bool hasAnchor);

} // namespace formatbar
} // namespace quorrin
