#pragma once

#include "FakeWorkspaceHost.h"
#include "Persistence/StoreFixtures.h"

#include "Core/Screens/ScreenProvider.h"
#include "Windows/NoteWorkspace.h"

#include <gtest/gtest.h>

#include <memory>

namespace quorrin::testing {

// A workspace over a real store in a fresh data directory, with fake windows
// and screens.
class WorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = directory.open();
        host.store = store.get();
        workspace = std::make_unique<NoteWorkspace>(host, screens, [this] { return mouseDown; });
        host.workspace = workspace.get();
    }
    void TearDown() override
    {
        workspace.reset();
        host.windows.clear();
    }

    struct NoteSetup {
        bool hidden = false;
        bool onTop = false;
        bool collapsed = false;
        WindowFrame frame{100, 100, 300, 300};
        std::optional<NoteDock> docking;

        NoteSetup& hide() { return hidden = true, *this; }
        NoteSetup& top() { return onTop = true, *this; }
        NoteSetup& collapse() { return collapsed = true, *this; }
        NoteSetup& at(WindowFrame value) { return frame = value, *this; }
        NoteSetup& dock(QUuid target, DockEdge edge) { return docking = NoteDock{target, edge}, *this; }
    };

    QUuid addNote(const NoteSetup& setup)
    {
        Note note = store->create();
        note.blocks.front().text = RichText(QStringLiteral("text"), TextFont::system(14));
        note.isHidden = setup.hidden;
        note.alwaysOnTop = setup.onTop;
        note.isCollapsed = setup.collapsed;
        note.frame = setup.frame;
        note.docking = setup.docking;
        store->update(note, true, false);
        return note.id;
    }
    Note stored(const QUuid& id) const { return *store->note(id); }
    FakeWorkspaceWindow* window(const QUuid& id) const { return host.find(id); }

    StoreDirectory directory;
    std::unique_ptr<NoteStore> store;
    FixedScreenProvider screens{{QRectF(0, 0, 1600, 1000)}};
    bool mouseDown = false;
    FakeWorkspaceHost host;
    std::unique_ptr<NoteWorkspace> workspace;
};

} // namespace quorrin::testing
