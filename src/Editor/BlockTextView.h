#pragma once

#include <QPointer>
#include <QTextEdit>

namespace quorrin {

class BlockEditor;

// The one text view of a note. It owns no note data: it forwards to its
// editor what only the editor can answer, and does nothing of its own once
// the editor is gone.
class BlockTextView final : public QTextEdit {
    Q_OBJECT
public:
    explicit BlockTextView(QWidget* parent = nullptr);

    QPointer<BlockEditor> editor;

    // The point of the content (document coordinates) under a viewport point.
    QPointF contentPoint(QPoint viewportPoint) const;
    // Commits an input-method composition in progress; the text is written
    // back on the next turn of the event loop.
    void unmarkText();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Text typed into an image's or PDF's line goes to a new paragraph below it.
    bool moveOffAttachment();
};

} // namespace quorrin
