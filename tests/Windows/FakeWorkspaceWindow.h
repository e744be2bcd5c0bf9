#pragma once

#include "Windows/NoteWindowHost.h"
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
    void applyFrame(const QRectF& frame) override { shownFrame = frame; }
    void saveFrame() override { ++frameSaves; }
    bool isVisible() const override { return visible; }
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
    }
    void makeKeyAndFocusText() override { key = true; }
    void setRole(bool secondary, bool primary) override { role = {secondary, primary}; }
    void refresh() override { ++refreshes; }

    // Orders windows were brought to the front in, across all fakes.
    static int& clock()
    {
        static int stamp = 0;
        return stamp;
    }

    QUuid id;
    QRectF shownFrame;
    NoteWindowHost* workspace = nullptr;
    bool visible = false;
    int windowLevelValue = 0;
    std::optional<int> formatPanelLevel;
    std::optional<int> reminderPanelLevel;
    bool raised = false;
    int frontStamp = 0;
    bool key = false;
    std::optional<std::pair<bool, bool>> role;
    int refreshes = 0;
    int frameSaves = 0;
};

} // namespace quorrin::testing
