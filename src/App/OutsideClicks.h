#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

namespace quorrin {

class NoteRegistry;

// What a mouse press anywhere on the screen means for the notes: a press on
// a note's own format bar or reminder editor belongs to it; a press in a
// note window brings all notes forward with that one in front; any other
// press closes the reminder editors and lets the notes settle to their own
// layer.
class OutsideClicks {
public:
    // The registry must outlive this object.
    explicit OutsideClicks(NoteRegistry& registry);

    // `window` is the application's top-level window that was pressed, none
    // for a press outside the application; the point is in Qt global
    // coordinates.
    void handleOutsideClick(const QWidget* window, bool fromAnotherApp, const QPoint& screenPoint);
    // A press inside the application: a note window's drag begins first.
    void handleLocalMouseEvent(QWidget* window, const QMouseEvent& event);

private:
    NoteRegistry& m_registry;
};

} // namespace quorrin
