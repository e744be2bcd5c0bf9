#pragma once

#include "Domain/AppError.h"
#include "Editor/EditorStore.h"

namespace quorrin::bench {

// An editor's store that keeps its one note in memory, so that an editor
// benchmark measures the editor and not the disk.
class MemoryEditorStore final : public EditorStore {
public:
    Note stored;
    std::optional<Note> note(const QUuid& id) const override
    {
        return id == stored.id ? std::optional<Note>(stored) : std::nullopt;
    }
    std::optional<AppError> update(const Note& note, bool, bool) override
    {
        stored = note;
        return std::nullopt;
    }
    void report(const AppError&) override {}
    Preferences preferences() const override { return {}; }
    QString attachmentPath(const Attachment&) const override { return {}; }
    Attachment importAttachment(const QString&) override { throw AppError(QStringLiteral("no")); }
};

} // namespace quorrin::bench
