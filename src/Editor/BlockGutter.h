#pragma once

#include "Domain/Note.h"
#include "Editor/BlockControlLayout.h"
#include "Editor/EditorText.h"
#include "Editor/GutterDragTarget.h"

#include <QPointF>
#include <QPointer>
#include <QTimer>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

class QDrag;
class QMenu;
class QMimeData;
class QMouseEvent;
class QPainter;

namespace quorrin {

class BlockEditor;
class BlockMenuPanel;
class BlockTextView;

// The controls drawn beside every block of a note's text: the two-dot menu
// handle, a todo's checkbox, priority bar, reminder bell, remarks chevron
// and archive button, and the drag handle that reorders blocks.
//
// It lies over the text view, which it covers exactly, and lets every mouse
// event through to it; the text's viewport hands it only the events that
// land on one of its controls (see eventFilter). Points given to it are in
// its own coordinates; its geometry follows the text's content, so the
// controls move with the text when it scrolls.
class BlockGutter final : public QWidget, public GutterDragTarget {
    Q_OBJECT
public:
    // The private type of a dragged block; its data is "<note id>:<block id>".
    static const QString dragType;

    explicit BlockGutter(BlockEditor& editor);
    ~BlockGutter() override;

    // --- geometry
    // The controls of the block whose (non-remarks) run is `row`.
    BlockControlLayout controls(const TextRun& row) const;
    // The controls of a block that react to the mouse now.
    std::vector<BlockControl> interactiveControls(const QUuid& id) const;
    // The control under a point, if it reacts to the mouse: only then does
    // the gutter take the event; everything else goes to the text.
    std::optional<BlockControl> hitTest(QPointF point) const;
    std::optional<Qt::CursorShape> cursor(const QPointF& point) const override;
    // The cursor over each control of the visible rows, the drag handle's last.
    std::vector<std::pair<QRectF, Qt::CursorShape>> cursorRects() const;

    // --- pointer
    void pointerMoved(QPointF point);
    void pointerExited();
    // A left press; true when it landed on a control and was taken.
    bool mouseDown(QPointF point, QPoint globalPosition);
    // A right press: a control's row gets its block menu; true when taken.
    bool rightMouseDown(QPointF point);

    // --- the block menu
    void openBlockMenu(const QUuid& id, bool takeFocus);
    void closeBlockMenu();
    void scheduleMenuClose();
    void showBlockMenu(QPointF point);
    BlockMenuPanel* menuPanel() const { return m_menuPanel; }
    bool isMenuOpenPending() const { return m_openWork.isActive(); }
    bool isMenuClosePending() const { return m_closeWork.isActive(); }

    // --- priority
    void showPriorities(const QUuid& id, QPoint globalPosition);
    void setPriority(const QUuid& id, int priority);

    // --- dragging (the gutter is the drag source; the text view routes
    // block drags that reach it to the destination calls)
    // Starts the drag of the block whose handle was pressed; false without one.
    bool mouseDragged(QPointF point);
    bool carriesBlock(const QMimeData& data) const override;
    Qt::DropAction draggingUpdated(const QMimeData& data, const QPointF& point) override;
    // The drag left the text: no drop target (the text view clears the preview).
    void clearDropTarget() override;
    bool performDragOperation(const QMimeData& data, const QPointF& point) override;
    // However the drag ended (drop, cancel, lost release).
    void draggingSessionEnded();

    // --- archiving a completed todo
    void archive(const QUuid& id);

    // --- state
    std::optional<QUuid> hovered;
    std::optional<QUuid> dragID;
    std::optional<QUuid> dropID;
    bool dropAfter = false;
    std::optional<QUuid> pendingMenuID;
    std::optional<QPointF> lastCursorPoint;

    // --- seams for tests; each starts out as the real thing
    // Runs a drag session to its end.
    std::function<Qt::DropAction(QDrag&)> runDrag;
    // Pops a menu up at a global position and returns when it closed.
    std::function<void(QMenu&, QPoint)> popUpMenu;
    // The pointer's global position and the mouse buttons held down.
    std::function<QPoint()> pointerLocation;
    std::function<Qt::MouseButtons()> pressedButtons;
    // Ends the running drag session as a cancel.
    std::function<void()> cancelDrag;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct RowHit {
        QUuid id;
        TextRun row;
        BlockControlLayout layout;
    };
    struct RowPaint {
        const TextRun& run;
        QRectF line;
        const Note& note;
        const Block& block;
        bool active = false; // hovered or holding the caret
    };
    bool isAlive() const;
    BlockControlLayout controls(const TextRun& row, const Block* block) const;
    std::optional<RowHit> rowAt(double y) const;
    std::optional<Note> note() const;
    const TextRun* rowOf(const QUuid& id) const;
    QPointF scrollOffset() const;
    // Between the gutter's coordinates and the text's content coordinates.
    QPointF toContent(QPointF point) const;
    QPointF fromViewport(const QPointF& viewportPoint) const;
    // The line rectangle of a run in content coordinates (20 high at least);
    // given `until`, cut there (see BlockEditor::rect).
    QRectF lineRect(const TextRun& row, double until = std::numeric_limits<double>::infinity()) const;
    void setCursorWhenStable(Qt::CursorShape shape, QPointF point);
    void restoreTextCursor();
    bool handleMouse(QMouseEvent* event);
    void cancelPress();
    void paintRow(QPainter& painter, const RowPaint& row, const std::vector<std::pair<QUuid, QUuid>>& alarms);
    std::vector<gutterlayout::Row> dropRows() const;
    void watchDrag();

    BlockEditor& m_editor;
    QPointer<BlockTextView> m_text;
    QPointer<BlockMenuPanel> m_menuPanel;
    QTimer m_openWork;
    QTimer m_closeWork;
    QTimer m_dragWatch; // ends a drag whose release never arrives
    int m_releasesMissed = 0;
    bool m_pressTaken = false; // a press on a control: its moves and release are ours
    QPointF m_pressPoint;
    bool m_cursorOverridden = false;
    bool m_dragging = false;
    bool m_dropped = false; // the running drag was dropped on its note
};

} // namespace quorrin
