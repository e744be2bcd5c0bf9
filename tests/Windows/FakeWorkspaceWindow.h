#pragma once

#include "Persistence/NoteStore.h"
#include "Windows/NoteWindowHost.h"
#include "Windows/WindowFrameTracking.h"
#include "Windows/WorkspaceWindow.h"

#include <QRectF>
#include <QUuid>

#include <optional>

namespace quorrin::testing {

// A note window that records what the workspace does to it.
class FakeWorkspaceWindow : public WorkspaceWindow {
public:
    explicit FakeWorkspaceWindow(QUuid id, QRectF frame = {})
        : id(id)
        , shownFrame(frame)
    {
    }

    QUuid noteID() const override { return id; }
    NoteWindowHost* host() const override { return workspace; }
    void setHost(NoteWindowHost* host) override { workspace = host; }
    QRectF frame() const override { return shownFrame; }
    void applyFrame(const QRectF& frame) override
    {
        ++frameApplications;
        if (frame != shownFrame)
            ++frameMoves;
        applyStamp = ++clock();
        shownFrame = frame;
    }
    // Records the shown frame in the note, as a note window does.
    void saveFrame() override
    {
        ++frameSaves;
        std::optional<Note> note = store ? store->note(id) : std::nullopt;
        if (!note)
            return;
        const WindowFrame frame = WindowFrameTracking::expandedFrame(shownFrame, note->frame, note->isCollapsed);
        if (frame != note->frame) {
            note->frame = frame;
            store->update(*note, false, false);
        }
    }
    bool isVisible() const override { return visible; }
    bool isUserResizing() const override { return userResizing; }
    bool isMovedByWindowManager() const override { return movedByWindowManager; }
    double backingScale() const override { return scale; }
    int level() const override { return windowLevelValue; }
    void setLevel(int level) override { windowLevelValue = level; }
    void setPanelLevels(int format, int reminder) override
    {
        formatPanelLevel = format;
        reminderPanelLevel = reminder;
    }
    bool isTemporarilyRaised() const override { return raised; }
    void setTemporarilyRaised(bool value) override { raised = value; }
    void orderFrontRegardless() override
    {
        visible = true;
        frontStamp = ++clock();
        ++frontOrders;
    }
    void makeKeyAndFocusText() override { key = true; }
    void setRole(bool secondary, bool primary) override { role = {secondary, primary}; }
    void refresh() override { ++refreshes; }
    void setSnapFeedback(std::optional<DockEdge> edge, double strength) override
    {
        snapEdge = edge;
        snapStrength = strength;
    }
    void setLinkParent(WorkspaceWindow* parent) override { linkParent = parent; }
    void collapseTextSelection() override { ++selectionsCollapsed; }

    // Orders windows were brought to the front or placed in, across all fakes.
    static int& clock()
    {
        static int stamp = 0;
        return stamp;
    }

    QUuid id;
    QRectF shownFrame;
    // Where saveFrame records the frame; nowhere when not set.
    NoteStore* store = nullptr;
    int frameApplications = 0;
    // Applications that put the window somewhere else.
    int frameMoves = 0;
    int applyStamp = 0;
    NoteWindowHost* workspace = nullptr;
    bool visible = false;
    bool userResizing = false;
    bool movedByWindowManager = false;
    double scale = 1;
    int windowLevelValue = 0;
    std::optional<int> formatPanelLevel;
    std::optional<int> reminderPanelLevel;
    bool raised = false;
    int frontStamp = 0;
    int frontOrders = 0;
    bool key = false;
    std::optional<std::pair<bool, bool>> role;
    int refreshes = 0;
    int frameSaves = 0;
    std::optional<DockEdge> snapEdge;
    double snapStrength = 0;
    WorkspaceWindow* linkParent = nullptr;
    int selectionsCollapsed = 0;
};

} // namespace quorrin::testing
