#pragma once

#include <QUuid>

#include <vector>

namespace quorrin {

class NoteStore;
class WorkspaceWindow;

// What the workspace reaches through its owner: the note store and the
// registry of note windows. The owner outlives the workspace.
class WorkspaceHost {
public:
    virtual ~WorkspaceHost() = default;

    // The store, or none once it is gone (the workspace then does nothing).
    virtual NoteStore* noteStore() const = 0;
    // Every registered note window, in registry order.
    virtual std::vector<WorkspaceWindow*> noteWindows() const = 0;
    virtual WorkspaceWindow* noteWindow(const QUuid& noteID) const = 0;
    // Makes a window for a live note that has none yet.
    virtual void ensureController(const QUuid& noteID) = 0;
};

} // namespace quorrin
