#pragma once

#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Editor/EditorStore.h"
#include "Editor/TextDocumentConversion.h"

#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextDocument>

#include <memory>

#include <algorithm>

namespace quorrin::testing {

// An in-memory store that can be told to fail immediate saves.
class FakeStore final : public EditorStore {
public:
    std::vector<Note> notes;
    Preferences preferences_;
    bool failImmediateSaves = false;
    int immediateSaves = 0;
    int notifications = 0;
    std::vector<QString> reported;
    QString attachmentsDirectory;

    const Note* findNote(const QUuid& id) const override
    {
        const auto found = std::find_if(notes.begin(), notes.end(), [&](const Note& n) { return n.id == id; });
        return found == notes.end() ? nullptr : &*found;
    }
    std::optional<AppError> update(Note note, bool immediate, bool notify) override
    {
        const auto found = std::find_if(notes.begin(), notes.end(), [&](const Note& n) { return n.id == note.id; });
        if (found == notes.end())
            return std::nullopt;
        *found = std::move(note);
        notifications += notify ? 1 : 0;
        if (!immediate)
            return std::nullopt;
        ++immediateSaves;
        if (!failImmediateSaves)
            return std::nullopt;
        AppError error(QStringLiteral("保存失败"));
        report(error);
        return error;
    }
    void report(const AppError& error) override { reported.push_back(error.message); }
    Preferences preferences() const override { return preferences_; }
    QString attachmentPath(const Attachment& attachment) const override
    {
        return attachmentsDirectory + QLatin1Char('/') + attachment.relativePath;
    }
    Attachment importAttachment(const QString& path) override
    {
        Attachment attachment;
        attachment.relativePath = path.section(QLatin1Char('/'), -1);
        attachment.originalFilename = attachment.relativePath;
        attachment.contentType = attachment.relativePath.section(QLatin1Char('.'), -1).toLower();
        return attachment;
    }
};

inline Date fixedNow()
{
    return Date{700000000};
}

inline Block makeBlock(BlockKind kind, const QString& text)
{
    Block block;
    block.kind = kind;
    block.text = RichText(text, TextFont::system(14));
    block.createdAt = fixedNow();
    block.updatedAt = fixedNow();
    if (kind == BlockKind::Todo)
        block.todo = TodoMetadata();
    return block;
}

inline Note makeNote(std::vector<Block> blocks)
{
    Note note;
    note.blocks = std::move(blocks);
    note.createdAt = fixedNow();
    note.updatedAt = fixedNow();
    return note;
}

// An editor over one note of a fake store.
class EditorFixture : public ::testing::Test {
protected:
    std::shared_ptr<FakeStore> store = std::make_shared<FakeStore>();
    std::unique_ptr<BlockEditor> editor;
    QUuid noteID;

    void open(std::vector<Block> blocks)
    {
        Note note = makeNote(std::move(blocks));
        noteID = note.id;
        store->notes = {note};
        editor = std::make_unique<BlockEditor>(store, noteID, nullptr, fixedNow);
        editor->resize(320, 400);
    }
    Note stored() const { return *store->note(noteID); }
    QString text() const { return textdoc::plainText(*editor->document(), 0, 1 << 20); }
    void select(int start, int end)
    {
        QTextCursor cursor(editor->document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        editor->textView()->setTextCursor(cursor);
    }
    void caretAt(int position) { select(position, position); }
    const Block* storedBlock(const QUuid& id) const
    {
        m_last = stored();
        for (const Block& block : m_last.blocks) {
            if (block.id == id)
                return &block;
        }
        return nullptr;
    }

private:
    mutable Note m_last;
};

} // namespace quorrin::testing
