#pragma once

#include "Domain/AppError.h"
#include "Editor/EditorStore.h"

namespace quorrin::bench {

// An editor's store that keeps its one note in memory, so that an editor
// benchmark measures the editor and not the disk.
class MemoryEditorStore final : public EditorStore {
public:
    Note stored;
    const Note* findNote(const QUuid& id) const override { return id == stored.id ? &stored : nullptr; }
    std::optional<AppError> update(Note note, bool, bool) override
    {
        stored = std::move(note);
        return std::nullopt;
    }
    void report(const AppError&) override {}
    Preferences preferences() const override { return {}; }
    QString attachmentPath(const Attachment&) const override { return {}; }
    Attachment importAttachment(const QString&) override { throw AppError(QStringLiteral("no")); }
};

} // namespace quorrin::bench
