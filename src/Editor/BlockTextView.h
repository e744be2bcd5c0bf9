#pragma once

#include "Widgets/FileDropRouter.h"

#include <QPointer>
#include <QTextEdit>

#include <functional>
#include <memory>

class QMenu;
class QMimeData;

namespace quorrin {

class BlockEditor;
class GutterDragTarget;

// The one text view of a note. It owns no note data: it forwards to its
// editor what only the editor can answer, and does nothing of its own once
// the editor is gone.
class BlockTextView final : public QTextEdit {
    Q_OBJECT
public:
    explicit BlockTextView(QWidget* parent = nullptr);

    QPointer<BlockEditor> editor;
    // The note window's drop overlay: every drag that carries files goes
    // there, none reaches the text.
    QPointer<FileDropRouter> dropRouter;
    // The application's edit and format menus, in place of the text's
    // standard context menu; the standard one when not set.
    std::function<std::unique_ptr<QMenu>(QWidget* parent)> makeTextMenu;

    // Keeps a band of that height free above the text (0: none).
    void setTopBand(int height);
    int topBand() const { return viewportMargins().top(); }

    // The point of the content (document coordinates) under a viewport point.
    QPointF contentPoint(QPoint viewportPoint) const;
    // Commits an input-method composition in progress; the text is written
    // back on the next turn of the event loop.
    void unmarkText();
    // The Format menu's strikethrough: strikes the selection through, or
    // takes the strike away when its first character is struck; one undo
    // step. Nothing without a selection.
    void toggleStrikethrough();

    // What a drag over the text carries, in the order it is asked.
    enum class DragKind { Block, File, Other };
    DragKind dragKind(const QMimeData* data) const;
    // A block drag left the text: the gutter's drop target and the preview go.
    void dragLeft();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    GutterDragTarget* gutterTarget() const;
    // A viewport point in the gutter's coordinates.
    QPointF toGutter(const QPointF& viewportPoint) const;
    // Block drags go to the gutter's drop tracking.
    Qt::DropAction followBlockDrag(const QMimeData& data, const QPointF& viewportPoint);
    // File drags: the note window's drop overlay (`dropRouter`) takes them
    // over; without one they are handled as any other drag (dropped files
    // are imported into the note).
    void enterFileDrag(QDragEnterEvent* event);
    void moveFileDrag(QDragMoveEvent* event);
    void leaveFileDrag(QDragLeaveEvent* event);
    void dropFiles(QDropEvent* event);

    // Text typed into an image's or PDF's line goes to a new paragraph below it.
    bool moveOffAttachment();
    // Text typed into the empty line after the final line break takes the
    // attributes of that line break, never the view's bare default format.
    void adoptLineBreakTyping();
    // One new line at the caret, continuing the attributes of the line it
    // splits (Qt's own Return clears the formats of an empty line instead).
    void insertLineBreak();
    // The format text typed or pasted at the caret takes: over a selection,
    // that of its first character, whichever way the selection was made.
    QTextCharFormat insertionFormat() const;
    // Takes the selection out as text typed or pasted over it does: what
    // comes in its place continues the selection's first paragraph.
    void removeSelection(QTextCursor& cursor) const;
    // A link under the resting pointer shows the hand: Ctrl+click opens it.
    void followLinkPointer(QPoint viewportPoint, Qt::MouseButtons buttons);
    bool m_pointerOnLink = false;
};

} // namespace quorrin
