#pragma once

#include "Core/Text/AttributedString.h"

#include <QObject>
#include <QUndoStack>

class QTextDocument;

namespace quorrin {

// The undo history of the title field's typing. A format set from the
// title's format bar is no step of it, yet the typing before it stays
// undoable; the text document's own history cannot leave a change out
// without forgetting everything before it, so it stays off and this one
// records the document's changes instead. A change that keeps every
// character and alters only formats is not recorded.
class TitleTypingHistory final : public QObject {
    Q_OBJECT

public:
    explicit TitleTypingHistory(QTextDocument& document, QObject* parent = nullptr);

    bool canUndo() const { return m_stack.canUndo(); }
    bool canRedo() const { return m_stack.canRedo(); }
    // Each answers where the caret goes afterwards, or -1 when nothing was
    // done.
    int undo();
    int redo();
    // The document shows a new value: the history starts from it.
    void restart();

    // Used by the steps: puts `replacement` where the document holds the
    // characters of `shown` at `position`, and `shown` becomes what stood
    // there, formats included; the caret's place afterwards, or -1.
    int replace(int position, AttributedString& shown, const AttributedString& replacement);

private:
    void onContentsChange();

    QTextDocument& m_document;
    AttributedString m_mirror; // the document's text as last seen
    QUndoStack m_stack;
    int m_caret = -1;
    bool m_replaying = false;
};

} // namespace quorrin
