#pragma once

#include "Domain/NoteDock.h"

#include <QRectF>
#include <QUuid>

#include <optional>

namespace quorrin {

class NoteWindowHost;

// One note window as the workspace lays it out: where it is, how high it
// stacks, and the few things the workspace asks it to do. The application
// wraps each note window controller in one; tests drive fakes.
class WorkspaceWindow {
public:
    virtual ~WorkspaceWindow() = default;

    virtual QUuid noteID() const = 0;

    // The workspace the window reports its moves to; none until attached.
    virtual NoteWindowHost* host() const = 0;
    virtual void setHost(NoteWindowHost* host) = 0;

    // The displayed window frame in model coordinates (origin bottom left).
    virtual QRectF frame() const = 0;
    // Moves the window without it reporting the move back as the user's.
    virtual void applyFrame(const QRectF& frame) = 0;
    // Records the window's frame in its note when it changed.
    virtual void saveFrame() = 0;
    virtual bool isVisible() const = 0;
    // The user is resizing the window right now.
    virtual bool isUserResizing() const = 0;
    // The window manager holds the window for a move it runs for the user
    // (with the mouse or the keyboard), or has just let go of it.
    virtual bool isMovedByWindowManager() const = 0;
    // Device pixels per point of the screen the window is on.
    virtual double backingScale() const = 0;

    virtual int level() const = 0;
    virtual void setLevel(int level) = 0;
    // The levels of the note's auxiliary panels: the body and title format
    // panels (when made) and the reminder panel (when open).
    virtual void setPanelLevels(int formatPanelLevel, int reminderPanelLevel) = 0;
    // Lifted above its own layer for the moment.
    virtual bool isTemporarilyRaised() const = 0;
    virtual void setTemporarilyRaised(bool raised) = 0;

    // Brings the window in front whether or not the application is active.
    virtual void orderFrontRegardless() = 0;
    // Makes the window key with the caret in the note's text.
    virtual void makeKeyAndFocusText() = 0;

    // Marks a note docked to another (secondary) or with shown notes docked
    // to it (primary).
    virtual void setRole(bool secondary, bool primary) = 0;
    // Brings the window back in step with its note.
    virtual void refresh() = 0;

    // Shows on which edge a docking proposal would join this note, and how
    // strongly (0 shows nothing).
    virtual void setSnapFeedback(std::optional<DockEdge> edge, double strength) = 0;
    // Keeps the window stacked directly above the window of the note it is
    // docked to; none ends the link.
    virtual void setLinkParent(WorkspaceWindow* parent) = 0;
    // Replaces a selection in the note's text by the caret at its end.
    virtual void collapseTextSelection() = 0;
};

} // namespace quorrin
