#pragma once

#include "Domain/Note.h"
#include "Core/Text/AttributedString.h"
#include "Editor/TextEdit.h"

#include <QPointer>
#include <QUndoCommand>

namespace quorrin {

class BlockEditor;

// One structural note change. Undo and redo both swap the stored note with
// the snapshot held here, so each direction keeps what the other needs.
class NoteChangeCommand final : public QUndoCommand {
public:
    NoteChangeCommand(BlockEditor* editor, Note before, const QString& actionName);

    void undo() override;
    void redo() override;

private:
    void swap();

    QPointer<BlockEditor> m_editor;
    Note m_snapshot;
    bool m_applied = true; // the change itself was made before the command was recorded
};

// One edit of the text: the characters [position, position + inserted) used
// to be `removed`, positions counted as the stored text counts them. Undo
// and redo only act when the text still holds what the edit left there;
// otherwise the step is dropped rather than pasting old characters into
// whatever text now sits at that place.
class TextEditCommand final : public QUndoCommand {
public:
    TextEditCommand(BlockEditor* editor, TextEdit edit);

    void undo() override;
    void redo() override;
    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    // Puts `replacement` where the text shows `shown`, which becomes what was taken out.
    void swap(AttributedString& shown, const AttributedString& replacement);

    QPointer<BlockEditor> m_editor;
    TextEdit m_edit;
    bool m_applied = true;
};

// One formatting of a selection: the characters at `position` were `before`
// and now carry the formats of `after`. Like a text edit, each direction only
// acts while the text still holds those characters.
class TextFormatCommand final : public QUndoCommand {
public:
    TextFormatCommand(BlockEditor* editor, int position, AttributedString before, AttributedString after,
                      const QString& actionName);

    void undo() override;
    void redo() override;

private:
    // Puts `text` in place; `shown`, the other direction's text, becomes what was there.
    void put(const AttributedString& text, AttributedString& shown);

    QPointer<BlockEditor> m_editor;
    int m_position;
    AttributedString m_before;
    AttributedString m_after;
    bool m_applied = true;
};

} // namespace quorrin
