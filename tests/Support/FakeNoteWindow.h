#pragma once

#include "App/RegisteredNoteWindow.h"
#include "Editor/BlockEditor.h"
#include "Persistence/NoteStore.h"
#include "Windows/WorkspaceWindow.h"

#include <QRect>

#include <memory>
#include <vector>

namespace quorrin::testing {

// A note window with a real editor over the store; the window itself is
// played by fields.
class FakeNoteWindow final : public RegisteredNoteWindow, public WorkspaceWindow {
public:
    FakeNoteWindow(NoteStore& store, const Note& note)
        : shown(note.frame.x, note.frame.y, note.frame.width, note.frame.height)
        , m_id(note.id)
        , m_editor(std::make_unique<BlockEditor>(store, note.id))
    {
    }

    QUuid noteID() const override { return m_id; }
    WorkspaceWindow& layout() override { return *this; }
    bool isKeyWindow() const override { return key; }
    BlockEditor* editor() const override { return m_editor.get(); }
    void archiveBlock(const QUuid& blockID) override { archived.push_back(blockID); }
    void showReminder(const QUuid& blockID, const ReminderCallbacks&) override { reminders.push_back(blockID); }
    void commitPendingInput() override { ++commits; }
    void setDemandsAttention(bool demands) override { attentionRequests.push_back(demands); }
    std::vector<bool> attentionRequests;
    void restoreSavedFrame() override { ++frameRestores; }
    QString windowTitle() const override { return title; }
    bool panelContains(const QPoint& point) const override { return panel.contains(point); }
    bool containsRelatedWindow(const QWidget* window) const override { return window && window == ownWindow; }
    void dismissReminderPanel() override { ++reminderDismissals; }
    void prepareWindowDrag(const QWidget& window, const QMouseEvent&) override
    {
        if (&window == ownWindow)
            ++dragsPrepared;
    }
    int commits = 0;
    int frameRestores = 0;
    int reminderDismissals = 0;
    int dragsPrepared = 0;
    QString title;
    // A shown format bar or reminder editor, in Qt global coordinates.
    QRect panel;
    // The widget that plays the note's window.
    const QWidget* ownWindow = nullptr;

    NoteWindowHost* host() const override { return workspace; }
    void setHost(NoteWindowHost* host) override { workspace = host; }
    QRectF frame() const override { return shown; }
    void applyFrame(const QRectF& frame) override { shown = frame; }
    void saveFrame() override {}
    bool isVisible() const override { return visible; }
    bool isUserResizing() const override { return false; }
    bool isMovedByWindowManager() const override { return false; }
    double backingScale() const override { return 1; }
    int level() const override { return levelValue; }
    void setLevel(int level) override { levelValue = level; }
    void setPanelLevels(int, int) override {}
    bool isTemporarilyRaised() const override { return raised; }
    void setTemporarilyRaised(bool value) override { raised = value; }
    void orderFrontRegardless() override { visible = true; }
    void makeKeyAndFocusText() override { key = true; }
    void setRole(bool, bool) override {}
    void refresh() override {}
    void setSnapFeedback(std::optional<DockEdge>, double) override {}
    void setLinkParent(WorkspaceWindow*) override {}
    void collapseTextSelection() override {}

    NoteWindowHost* workspace = nullptr;
    QRectF shown;
    bool visible = false;
    bool key = false;
    bool raised = false;
    int levelValue = 0;
    std::vector<QUuid> archived;
    std::vector<QUuid> reminders;

private:
    QUuid m_id;
    std::unique_ptr<BlockEditor> m_editor;
};

} // namespace quorrin::testing
