#pragma once

#include <QRectF>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace quorrin {

class BlockEditor;
class TitleFormatTarget;

// The pieces of a note window that are built by other parts of the program
// plug in through these small interfaces. A window works without any of
// them: each one it holds may be missing.

// A floating format bar panel: the body's (formatting the editor) or the
// title's (formatting the title field).
class NoteFormatPanel {
public:
    virtual ~NoteFormatPanel() = default;
    // Pulls the theme and the current format from the target again.
    virtual void refreshBar() = 0;
    // Points the bar at another title target (the title panel only).
    virtual void retarget(TitleFormatTarget& target) = 0;
    // Parks the panel, collapsed and invisible, beside the note window, as
    // its child at the window's level.
    virtual void prepareHidden(QWidget& noteWindow) = 0;
    // Shows the panel beside the note window at a rectangle in Qt global
    // coordinates.
    virtual void show(const QRectF& near, QWidget& noteWindow) = 0;
    virtual void hide() = 0;
    // Takes the panel off the screen for good.
    virtual void orderOut() = 0;
};

// The reminder editor of one todo.
class NoteReminderPanel {
public:
    virtual ~NoteReminderPanel() = default;
    // Re-reads the todo; closes itself when the todo is gone, done or archived.
    virtual void refreshFromModel() = 0;
    // Closes the panel unless it is busy and not forced; calls onDismiss.
    virtual void dismiss(bool animated, bool restoreFocus, bool force) = 0;
    // Places the panel beside the note near a rectangle of `view`.
    virtual void show(const QRectF& rect, QWidget& view) = 0;
    std::function<void()> onDismiss;
};

// The reminder panel's two callbacks, passed through unchanged.
struct ReminderCallbacks {
    // Asks for notification permission and answers whether it is granted.
    std::function<void(std::function<void(bool granted)>)> authorize;
    // Brings the system notifications in step; answers an error text or none.
    std::function<void(std::function<void(std::optional<QString> error)>)> synchronize;
};

// The note-level file shelf below the text.
class NoteFileShelf : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual bool hasItems() const = 0;
};

// Makers of the pluggable pieces; each may be left empty.
struct NoteWindowParts {
    std::function<std::unique_ptr<NoteFormatPanel>(BlockEditor& editor)> makeFormatPanel;
    std::function<std::unique_ptr<NoteFormatPanel>(TitleFormatTarget& target)> makeTitleFormatPanel;
    std::function<std::unique_ptr<NoteReminderPanel>(BlockEditor& editor, const QUuid& blockID,
                                                     const ReminderCallbacks& callbacks)>
        makeReminderPanel;
};

} // namespace quorrin
