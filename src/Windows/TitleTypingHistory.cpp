#include "Windows/TitleTypingHistory.h"

#include "Core/Text/TextDifference.h"
#include "Editor/TextDocumentConversion.h"
#include "Editor/TextEdit.h"

#include <QScopedValueRollback>
#include <QTextCursor>
#include <QTextDocument>
#include <QUndoCommand>

namespace quorrin {
namespace {

AttributedString contentsOf(const QTextDocument& document)
{
    return textdoc::read(document, 0, document.characterCount() - 1);
}

// One typing step. Consecutive characters typed, or deleted with one key,
// make one step.
class TitleEdit final : public QUndoCommand {
public:
    TitleEdit(TitleTypingHistory& history, TextEdit edit, int& caret)
        : m_history(history)
        , m_edit(std::move(edit))
        , m_caret(caret)
    {
    }

    // Each direction keeps what it took out as it was then: formats set on
    // the typed text since come back with a redo.
    void undo() override { m_caret = m_history.replace(m_edit.position, m_edit.inserted, m_edit.removed); }
    void redo() override
    {
        if (std::exchange(m_recorded, false))
            return; // the change is in the document already
        m_caret = m_history.replace(m_edit.position, m_edit.removed, m_edit.inserted);
    }
    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        return mergeTyping(m_edit, static_cast<const TitleEdit*>(other)->m_edit);
    }

private:
    TitleTypingHistory& m_history;
    TextEdit m_edit;
    int& m_caret;
    bool m_recorded = true;
};

} // namespace

TitleTypingHistory::TitleTypingHistory(QTextDocument& document, QObject* parent)
    : QObject(parent)
    , m_document(document)
{
    m_document.setUndoRedoEnabled(false);
    restart();
    connect(&m_document, &QTextDocument::contentsChange, this, &TitleTypingHistory::onContentsChange);
}

void TitleTypingHistory::restart()
{
    m_stack.clear();
    m_mirror = contentsOf(m_document);
}

int TitleTypingHistory::undo()
{
    if (!m_stack.canUndo())
        return -1;
    m_caret = -1;
    m_stack.undo();
    return m_caret;
}

int TitleTypingHistory::redo()
{
    if (!m_stack.canRedo())
        return -1;
    m_caret = -1;
    m_stack.redo();
    return m_caret;
}

int TitleTypingHistory::replace(int position, AttributedString& shown, const AttributedString& replacement)
{
    const int length = m_document.characterCount() - 1;
    const QString& expected = shown.string();
    if (position < 0 || position + expected.size() > length
        || m_document.toPlainText().mid(position, expected.size()) != expected)
        return -1;
    shown = textdoc::read(m_document, position, int(expected.size()));
    const QScopedValueRollback replaying(m_replaying, true);
    QTextCursor cursor(&m_document);
    cursor.setPosition(position);
    cursor.setPosition(position + int(expected.size()), QTextCursor::KeepAnchor);
    textdoc::insert(cursor, replacement);
    m_mirror = contentsOf(m_document);
    return position + replacement.length();
}

void TitleTypingHistory::onContentsChange()
{
    if (m_replaying)
        return;
    // The document's reports may count its final paragraph mark: what
    // changed is found from the text itself (a title is short).
    const AttributedString now = contentsOf(m_document);
    const QString& old = m_mirror.string();
    const QString& text = now.string();
    const auto [same, tail] = differenceBetween(old, text);
    AttributedString removed = m_mirror.substring(same, int(old.size()) - same - tail);
    AttributedString inserted = now.substring(same, int(text.size()) - same - tail);
    m_mirror = now;
    if (removed.isEmpty() && inserted.isEmpty())
        return; // formats only: no step
    m_stack.push(new TitleEdit(*this, TextEdit{same, std::move(removed), std::move(inserted)}, m_caret));
}

} // namespace quorrin
