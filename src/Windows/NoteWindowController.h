#pragma once

#include "Domain/Note.h"
#include "Core/Text/AttributedString.h"
#include "Core/Screens/ScreenProvider.h"
#include "Widgets/FileDropRouter.h"
#include "Windows/NoteWindowHost.h"
#include "Windows/NoteWindowSeams.h"
#include "Windows/PointerTracking.h"

#include <QFont>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QKeyEvent;
class QMouseEvent;
class QVariantAnimation;

namespace quorrin {

class BlockEditor;
class DialogFolder;
class HandCursorButton;
class NoteBackground;
class NoteHeader;
class NoteStore;
class StickyPanel;
class TextFormatTarget;
class TitleFormatTarget;
class TitleTextField;
class WindowManagerMoveWatch;

// The window of one open note: its floating panel with the paper, the header
// (name, layer, collapse and menu buttons) and the block editor, kept in step
// with the note in the store. Made by the note registry, one per open note;
// the workspace attaches it and then owns its level, frame and links.
//
// Closing is explicit only (the close command, Ctrl+W): it runs the close
// rule, which keeps a note with content and discards a blank one. Quitting
// the application never closes a note window.
class NoteWindowController : public QObject {
    Q_OBJECT

public:
    // What the window takes from its surroundings; tests replace each part.
    struct Services {
        // The current screens; the desktop's when not given.
        std::shared_ptr<const ScreenProvider> screens;
        // Whether the desktop asks for reduced motion; read from it when not given.
        std::function<bool()> prefersReducedMotion;
        // Whether a compositor runs: it shows the paper's opacity and draws
        // the windows' shadows (else the note draws opaque paper with an
        // edge of its own); asked of the desktop when not given.
        std::function<bool()> desktopComposites;
        // Asks "删除这张便笺？"; true deletes. A message box when not given.
        std::function<bool()> confirmDeletion;
        // Asks for an opacity percentage (20...100) starting at `current`;
        // nothing when cancelled. A dialog with a slider when not given.
        std::function<std::optional<int>(int current)> chooseOpacity;
        // Asks for files to insert; a file dialog opening in `dialogFolder`
        // when not given.
        std::function<QStringList()> chooseAttachments;
        // Where the file dialogs open, shared with the application's own;
        // the home folder at first when not given.
        std::shared_ptr<DialogFolder> dialogFolder;
        // Writes the note as a document; nothing when not given.
        std::function<void(NoteWindowController&)> exportNote;
        // Offers the note to the desktop below `rect` of `view`; nothing when
        // not given.
        std::function<void(NoteWindowController&, const QRect& rect, QWidget* view)> shareNote;
        // Adds items of the application's to the end of the note's menu
        // each time it is made; nothing when not given.
        std::function<void(QMenu& menu)> extendNoteMenu;
        // Makers of the format and reminder panels; each may be empty.
        NoteWindowParts parts;
    };

    NoteWindowController(NoteStore& store, const Note& note, Services services = {},
                         QObject* parent = nullptr);
    ~NoteWindowController() override;

    NoteWindowController(const NoteWindowController&) = delete;
    NoteWindowController& operator=(const NoteWindowController&) = delete;

    // --- what the window is made of
    const QUuid& noteID() const { return m_noteID; }
    NoteStore& store() const { return m_store; }
    StickyPanel* panel() const { return m_panel.get(); }
    BlockEditor* editor() const { return m_editor; }
    NoteBackground* background() const { return m_background; }
    NoteHeader* header() const { return m_header; }
    TitleTextField* titleField() const { return m_titleLabel; }
    HandCursorButton* layerButton() const { return m_layerButton; }
    HandCursorButton* collapseButton() const { return m_collapse; }
    HandCursorButton* menuButton() const { return m_menuButton; }
    // The close button in the strip above the header.
    HandCursorButton* closeButton() const { return m_closeButton; }

    // --- set from outside
    // The workspace that attached the window, or none. The workspace clears
    // it before it goes away.
    NoteWindowHost* workspace() const { return m_workspace; }
    void setWorkspace(NoteWindowHost* workspace) { m_workspace = workspace; }
    // Set by the note registry: the note was deleted or discarded.
    std::function<void(const QUuid&)> onDelete;
    // Brings the file shelves in step with the note after a refresh.
    std::function<void()> syncFilePresentation;
    // The note-level file shelf and the window's file drop overlay, when built.
    QPointer<NoteFileShelf> fileShelf;
    QPointer<FileDropRouter> fileDrop;
    // Writes the shelves' links into the note (set with the shelves).
    std::function<void()> persistFileReferences;
    // Whether the note holds staged files on any of its shelves, the todos'
    // included (set with the shelves). Such a note is kept on close.
    std::function<bool()> holdsStagedFiles;

    // --- state shared with the workspace
    bool temporarilyRaised = false; // lifted to the floating level for the moment
    bool updatingFrame = false;     // the window is changing its own frame
    bool userIsResizing = false;    // a live resize by the user is in progress
    bool isSecondary() const { return m_isSecondary; }
    bool isPrimary() const { return m_isPrimary; }
    std::optional<bool> lastCollapsed() const { return m_lastCollapsed; }
    bool isLayerToggleAnimating() const { return m_layerToggleAnimating; }
    // The collapse or expand running now, and the frame it ends at; none
    // while the window stands still.
    QVariantAnimation* frameAnimation() const;
    std::optional<QRectF> frameAnimationTarget() const;
    // The window manager holds the window for a move it runs for the user,
    // or has just let go of it.
    bool isMovedByWindowManager() const;
    // Ends a running collapse or expand at its last frame.
    void settleFrameAnimation();

    // --- panels, when their makers were given
    FormatPanel* formatPanel(); // the body's, made on first use
    FormatPanel* builtFormatPanel() const { return m_formatPanel.get(); }
    FormatPanel* titleFormatPanel() const { return m_titleFormatPanel.get(); }
    // What the format commands (bold, italic, underline, the format bar)
    // act on: the title while it is edited, else the body.
    TextFormatTarget* formatTarget() const;
    TitleFormatTarget* titleFormatTarget() const { return m_titleFormatTarget.get(); }
    NoteReminderPanel* reminderPanel() const { return m_reminderPanel.get(); }

    // --- the window
    // Puts the panel at the note's saved frame (55 pt high with the same top
    // when collapsed), moved onto the screens when its title strip is out of
    // reach. Writes nothing.
    void restoreSavedFrame();
    // Ends title editing and writes the editor's pending text into the note.
    void commitPendingInput();
    // Opens the reminder editor of an open todo of this note.
    void showReminder(const QUuid& blockID, const ReminderCallbacks& callbacks);
    // Whether the window is this note's panel or one of its descendants.
    bool containsRelatedWindow(const QWidget* window) const;
    // Whether a left press (window coordinates of the panel) begins a window drag.
    bool isWindowDragMouseDown(const QMouseEvent& event) const;
    // Starts a workspace move session for a press that begins a window drag.
    void prepareWindowDrag(const QMouseEvent& event);
    // The window edges a left press (window coordinates of the panel)
    // resizes; none when it does not start a resize.
    Qt::Edges resizeEdges(const QMouseEvent& event) const;
    // Follows a window drag from its mouse-down to the release: the window
    // moves with the pointer, its frame is recorded when the button goes up,
    // Escape puts it back where it was.
    void trackWindowDrag(QMouseEvent* event);
    // Follows a live resize along `edges` from its mouse-down to the release;
    // the frame is recorded on every step.
    void trackUserResize(QMouseEvent* event, Qt::Edges edges);
    bool isDragging() const { return m_drag.has_value(); }
    // Records the window's frame in the note (its expanded frame while
    // collapsed) when it differs: a deferred save without announcement.
    // Nothing while the window changes its own frame.
    void saveFrame();
    // The close rule: false keeps the window open (the store failed).
    bool windowShouldClose();
    // The close command: runs the close rule and hides the panel when it allows.
    void performClose();
    // Without a workspace: back to the note's own level.
    void settleToDesktop();
    // The find and replace command of the current note: shows the window
    // (expanded) and opens the editor's find bar.
    void showFindBar();

    // --- file shelves
    // Places the note's own shelf below the text and the drop overlay over
    // the note's content, and sends the file drags of the background, the
    // header, the text and the shelf to the overlay.
    void installFileShelves(NoteFileShelf* shelf, FileDropRouter* overlay);
    // Places the note's own shelf when it is built after the window.
    void installNoteShelf(NoteFileShelf* shelf);
    // The shelf area's height: the shelf's wanted height, at most the
    // window's content height less 80; 0 while the note is collapsed.
    void updateShelfHeight();
    // The height last given to the shelf area; none before the shelf exists.
    std::optional<double> shelfHeight() const { return m_shelfHeight; }

    // --- refresh and title
    void refresh();
    void updateTitle();
    void updateLayerButtonAppearance(bool top);
    void setRole(bool secondary, bool primary);
    void beginTitleEditing();
    // Stores a new name typed into the title field as one undoable change.
    void persistTitle(const AttributedString& source);
    // The title font: the system font, 15.5 pt, semibold.
    static QFont titleFont();
    // The same font as stored in rich text.
    static TextFont titleTextFont();

    // --- commands
    void toggleLayer();
    void toggleCollapse();
    void showMenu();
    std::unique_ptr<QMenu> makeNoteMenu();
    void hideNote();
    void setColor(const QString& rawValue);
    void setOpacity(int percent);
    void customOpacity();
    void sortPriority();
    void addAttachment();
    void exportNote();
    void shareNote(QWidget* sender);
    void saveTemplate();
    void deleteNote();

private:
    void buildPanel();
    void buildHeader();
    void buildCloseButton();
    void layoutScrollHint();
    void layoutFileDrop();
    void applyCollapsedLayout(const Note& note);
    void titleEditingChanged();
    void titleEditingEnded();
    void hideTitleFormatPanel();
    void dismissReminderPanel(bool animated);
    void endFileDropSession();
    void closeBlockMenu();
    void hideFormatBar();
    // Ctrl+B, Ctrl+I and Ctrl+U in the body or the title; true when handled.
    bool formatShortcut(const QKeyEvent& event);
    void animateLayerIcon(bool top);
    bool reducedMotion() const;
    void reportError(std::exception_ptr error);
    bool eventFilter(QObject* watched, QEvent* event) override;

    // --- geometry hooks
    // Window hooks; `fromServer` when the window system made the change.
    void windowWillMove();
    void windowDidMove(bool fromServer);
    void windowDidResize(bool fromServer);
    void windowDidBecomeKey();
    void windowDidResignKey();
    // One device pixel of the window's screen, in points.
    double pixelTolerance() const;
    void pointerMoved(QPointF point);
    void pointerReleased(QPointF point);
    void pointerCancelled();
    void finishWindowDrag();
    void cancelWindowDrag();
    void finishUserResize();
    void endPointerSessions();

    NoteStore& m_store;
    const QUuid m_noteID;
    Services m_services;
    NoteWindowHost* m_workspace = nullptr;

    std::unique_ptr<StickyPanel> m_panel;
    NoteBackground* m_background = nullptr;
    NoteHeader* m_header = nullptr;
    TitleTextField* m_titleLabel = nullptr;
    HandCursorButton* m_layerButton = nullptr;
    HandCursorButton* m_collapse = nullptr;
    HandCursorButton* m_menuButton = nullptr;
    HandCursorButton* m_closeButton = nullptr;
    BlockEditor* m_editor = nullptr;

    std::unique_ptr<FormatPanel> m_formatPanel;
    std::unique_ptr<FormatPanel> m_titleFormatPanel;
    std::unique_ptr<TitleFormatTarget> m_titleFormatTarget;
    std::unique_ptr<NoteReminderPanel> m_reminderPanel;
    std::optional<AttributedString> m_pendingTitleSource;
    QMetaObject::Connection m_titleSelectionObserver;
    QPointer<QVariantAnimation> m_frameAnimation;
    // Made with the panel: follows the moves the window manager runs.
    WindowManagerMoveWatch* m_windowManagerMoves = nullptr;

    // The pointer sessions: a window drag or a live resize, never both.
    struct DragSession {
        QRectF startFrame;
        QPointF startPoint;
    };
    struct ResizeSession {
        QRectF startFrame;
        QPointF startPoint;
        Qt::Edges edges;
    };
    PointerTracking m_pointer;
    std::optional<DragSession> m_drag;
    std::optional<ResizeSession> m_resize;

    bool m_layerToggleAnimating = false;
    bool m_isSecondary = false;
    bool m_isPrimary = false;
    std::optional<bool> m_lastCollapsed;
    std::optional<double> m_shelfHeight;
};

} // namespace quorrin
