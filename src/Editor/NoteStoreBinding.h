#pragma once

#include "Editor/EditorStore.h"

namespace quorrin {

class NoteStore;

// The editor's view of the application's one note store.
class NoteStoreBinding final : public EditorStore {
public:
    explicit NoteStoreBinding(NoteStore& store);

    const Note* findNote(const QUuid& id) const override;
    std::optional<AppError> update(Note note, bool immediate, bool notify) override;
    void report(const AppError& error) override;
    Preferences preferences() const override;
    QString attachmentPath(const Attachment& attachment) const override;
    Attachment importAttachment(const QString& path) override;

private:
    NoteStore& m_store;
};

} // namespace quorrin
