#pragma once

#include "Windows/NoteWindowSeams.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QUuid>

#include <functional>

class QMouseEvent;
class QWidget;

namespace quorrin {

class BlockEditor;
class WorkspaceWindow;

// A note window as the note registry keeps it: one per note, wired to the
// rest of the application when it is made. The application wraps each note
// window controller in one; tests make fakes.
class RegisteredNoteWindow : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual QUuid noteID() const = 0;
    // The same window as the workspace lays it out.
    virtual WorkspaceWindow& layout() = 0;
    // Whether this window is the application's key window.
    virtual bool isKeyWindow() const = 0;
    // The note's editor; none while the window has none.
    virtual BlockEditor* editor() const = 0;
    // Archives a completed todo with the gutter's own undo step and animation.
    virtual void archiveBlock(const QUuid& blockID) = 0;
    // Opens the reminder editor of a todo of this note.
    virtual void showReminder(const QUuid& blockID, const ReminderCallbacks& callbacks) = 0;
    // Ends title editing and writes pending typing into the note.
    virtual void commitPendingInput() = 0;
    // Asks the desktop to draw the user's attention to this window, or takes
    // the request back.
    virtual void setDemandsAttention(bool demands) = 0;

    // Puts the window at the frame saved in its note, on the screens.
    virtual void restoreSavedFrame() {}
    // The note's name as the window menu lists it.
    virtual QString windowTitle() const { return {}; }

    // --- clicks, for the application's outside-click handling
    // Whether a shown format bar or reminder editor of this note lies under
    // a point in Qt global coordinates.
    virtual bool panelContains(const QPoint& /*globalPoint*/) const { return false; }
    // Whether a window is this note's window or one of its own.
    virtual bool containsRelatedWindow(const QWidget* /*window*/) const { return false; }
    // Closes the note's reminder editor unless it is busy.
    virtual void dismissReminderPanel() {}
    // A left press in `window` that begins a drag of this note's window
    // starts a move; presses in other windows are not this note's.
    virtual void prepareWindowDrag(const QWidget& /*window*/, const QMouseEvent& /*event*/) {}

    // Installed by the registry: the note was deleted from its window; text
    // was dropped on its header.
    std::function<void(const QUuid& noteID)> onDelete;
    std::function<void(const QString& text)> onTextDrop;
};

} // namespace quorrin
