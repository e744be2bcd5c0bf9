#pragma once

#include "FakeWorkspaceWindow.h"

#include "Persistence/NoteStore.h"
#include "Windows/NoteWorkspace.h"
#include "Windows/WorkspaceHost.h"

#include <memory>
#include <vector>

namespace quorrin::testing {

// The registry as the workspace sees it: fake windows made on demand.
class FakeWorkspaceHost final : public WorkspaceHost {
public:
    NoteStore* noteStore() const override { return store; }
    std::vector<WorkspaceWindow*> noteWindows() const override
    {
        std::vector<WorkspaceWindow*> result;
        for (const auto& window : windows)
            result.push_back(window.get());
        return result;
    }
    WorkspaceWindow* noteWindow(const QUuid& id) const override { return find(id); }
    void ensureController(const QUuid& id) override
    {
        const std::optional<Note> note = store ? store->note(id) : std::nullopt;
        if (find(id) || !note || note->deletedAt)
            return;
        const WindowFrame& f = note->frame;
        windows.push_back(std::make_unique<FakeWorkspaceWindow>(id, QRectF(f.x, f.y, f.width, f.height)));
        windows.back()->store = store;
        ++made;
        if (workspace)
            workspace->attach(*windows.back());
    }

    FakeWorkspaceWindow* find(const QUuid& id) const
    {
        for (const auto& window : windows) {
            if (window->id == id)
                return window.get();
        }
        return nullptr;
    }

    NoteStore* store = nullptr;
    NoteWorkspace* workspace = nullptr;
    std::vector<std::unique_ptr<FakeWorkspaceWindow>> windows;
    int made = 0;
};

} // namespace quorrin::testing
