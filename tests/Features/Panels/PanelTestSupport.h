#pragma once

#include "Persistence/StoreFixtures.h"


#include <memory>
#include <vector>

namespace quorrin::testing {

// A store in a temporary directory with its reported errors recorded, and
// helpers to build notes of text blocks and todos.
class PanelStore {
public:
    StoreDirectory directory;
    std::unique_ptr<NoteStore> store = directory.open();
    std::vector<QString> errors;

    PanelStore()
    {
        store->setOnError([this](std::exception_ptr error) { errors.push_back(describeError(error)); });
    }

    static Block paragraph(const QString& text, int id)
    {
        Block block;
        block.id = uuid(id);
        block.kind = BlockKind::Paragraph;
        block.text = RichText(text, TextFont::system(14));
        return block;
    }

    static Block todo(const QString& text, int id, const QString& remarks = {}, qint64 priority = 4)
    {
        Block block = paragraph(text, id);
        block.kind = BlockKind::Todo;
        block.todo = TodoMetadata();
        block.todo->priority = priority;
        block.todo->notes = RichText(remarks, TextFont::system(14));
        return block;
    }

    // A live note with these blocks and title, stored and saved.
    Note add(std::vector<Block> blocks, const QString& title = {})
    {
        Note note = store->create();
        note.blocks = std::move(blocks);
        if (!title.isEmpty())
            note.customTitle = title;
        store->update(note, true, true);
        return *store->note(note.id);
    }

    void breakSaving() const { directory.breakSaving(); }
};

} // namespace quorrin::testing
