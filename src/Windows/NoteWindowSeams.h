#pragma once

#include "Editor/FormatPanel.h"
#include "Editor/TaskShelves.h"

#include "Widgets/FileDropRouter.h"

#include <QPointer>
#include <QRectF>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace quorrin {

class BlockEditor;
class NoteWindowController;
class TextFormatTarget;

// The pieces of a note window that are built by other parts of the program
// plug in through these small interfaces. A window works without any of
// them: each one it holds may be missing.

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
    // The panel took the keyboard.
    std::function<void()> onActivated;
};

// The reminder panel's two callbacks, passed through unchanged.
struct ReminderCallbacks {
    // Asks for notification permission and answers whether it is granted.
    std::function<void(std::function<void(bool granted)>)> authorize;
    // Brings the system notifications in step; answers an error text or none.
    std::function<void(std::function<void(std::optional<QString> error)>)> synchronize;
    // After a saved reminder: a notice the user should read once (that
    // desktop notifications cannot be shown for now), or none.
    std::function<std::optional<QString>()> deliveryNotice;
};

// A file shelf as the window hosts it: the note's own below the text, and
// (as a TaskShelfView) each todo's inside it.
class NoteFileShelf : public TaskShelfView {
    Q_OBJECT
public:
    using TaskShelfView::TaskShelfView;
    // The height the shelf wants for its rows and caption; 0 hides it.
    virtual double wantedHeight() const = 0;
    // Where the shelf sends the file drags that reach it.
    QPointer<FileDropRouter> dropRouter;
    // Told the wanted height after every reload.
    std::function<void(double)> onHeightChange;
};

// Makers of the pluggable pieces; the reminder panel's may be left empty.
struct NoteWindowParts {
    // The body's format panel, formatting the editor, and the title's,
    // formatting the title while it is edited. A floating panel beside the
    // note when not given.
    std::function<std::unique_ptr<FormatPanel>(BlockEditor& editor)> makeFormatPanel;
    std::function<std::unique_ptr<FormatPanel>(TextFormatTarget& target)> makeTitleFormatPanel;
    std::function<std::unique_ptr<NoteReminderPanel>(BlockEditor& editor, const QUuid& blockID,
                                                     const ReminderCallbacks& callbacks)>
        makeReminderPanel;
    // Builds the note's file shelves and drop overlay and hands them to the
    // window (installFileShelves); without it the window takes no files.
    std::function<void(NoteWindowController& window)> installFileShelves;
};

} // namespace quorrin
