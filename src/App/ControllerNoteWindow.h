#pragma once

#include "App/NoteRegistry.h"
#include "App/RegisteredNoteWindow.h"
#include "Windows/NoteWindowController.h"
#include "Windows/WorkspaceWindow.h"

#include <functional>
#include <memory>

namespace quorrin {

// A note window controller as the registry keeps it and the workspace lays
// it out. Owns the controller.
class ControllerNoteWindow final : public RegisteredNoteWindow, public WorkspaceWindow {
public:
    explicit ControllerNoteWindow(std::unique_ptr<NoteWindowController> controller, QObject* parent = nullptr);
    ~ControllerNoteWindow() override;

    // Makes the real note windows for the registry.
    static NoteRegistryServices::WindowFactory factory(NoteWindowController::Services services = {});

    NoteWindowController& controller() const { return *m_controller; }
    // Archives a completed todo of the note; the editor's own archiving
    // (undo step and animation) unless replaced.
    std::function<void(const QUuid& blockID)> archive;

    // --- both
    QUuid noteID() const override;

    // --- the registry's view
    WorkspaceWindow& layout() override { return *this; }
    bool isKeyWindow() const override;
    BlockEditor* editor() const override;
    void archiveBlock(const QUuid& blockID) override;
    void showReminder(const QUuid& blockID, const ReminderCallbacks& callbacks) override;
    void commitPendingInput() override;
    void setDemandsAttention(bool demands) override;
    void restoreSavedFrame() override;
    QString windowTitle() const override;
    bool panelContains(const QPoint& globalPoint) const override;
    bool containsRelatedWindow(const QWidget* window) const override;
    void dismissReminderPanel() override;
    void prepareWindowDrag(const QWidget& window, const QMouseEvent& event) override;

    // --- the workspace's view
    NoteWindowHost* host() const override;
    void setHost(NoteWindowHost* host) override;
    QRectF frame() const override;
    void applyFrame(const QRectF& frame) override;
    void saveFrame() override;
    bool isVisible() const override;
    bool isUserResizing() const override;
    bool isMovedByWindowManager() const override;
    double backingScale() const override;
    int level() const override;
    void setLevel(int level) override;
    void setPanelLevels(int formatPanelLevel, int reminderPanelLevel) override;
    bool isTemporarilyRaised() const override;
    void setTemporarilyRaised(bool raised) override;
    void orderFrontRegardless() override;
    void makeKeyAndFocusText() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void setRole(bool secondary, bool primary) override;
    void refresh() override;
    void setSnapFeedback(std::optional<DockEdge> edge, double strength) override;
    void setLinkParent(WorkspaceWindow* parent) override;
    void collapseTextSelection() override;

private:
    std::unique_ptr<NoteWindowController> m_controller;
    // Asked for attention before the window was shown: asked again once it is drawn.
    bool m_pendingAttention = false;
};

} // namespace quorrin
