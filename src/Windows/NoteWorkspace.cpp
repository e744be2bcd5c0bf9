#include "Windows/NoteWorkspace.h"

#include "Persistence/NoteStore.h"
#include "Platform/X11WindowBehaviour.h"
#include "Core/Screens/ScreenProvider.h"
#include "Windows/DesktopWindowPolicy.h"
#include "Windows/DockingLayout.h"
#include "Windows/GradualPresentation.h"
#include "Windows/GroupMove.h"
#include "Windows/WindowFrameTracking.h"
#include "Windows/WindowGeometry.h"
#include "Windows/WorkspaceHost.h"
#include "Windows/WorkspaceWindow.h"

#include <QGuiApplication>
#include <QSet>

#include <algorithm>
#include <utility>

namespace quorrin {

namespace {

// How often a screen change waiting for the button's release looks again.
constexpr int screenRetryMs = 100;

// The rectangle a note's window shows: its frame, or the top strip of it
// while collapsed.
QRectF displayedRect(const Note& note)
{
    return WindowFrameTracking::displayedFrame(note.frame, note.isCollapsed);
}

// The live notes that a shown live note is docked to.
QSet<QUuid> targetsOfShownDependants(const std::vector<Note>& notes)
{
    QSet<QUuid> targets;
    for (const Note& note : notes) {
        if (note.docking && !note.deletedAt && !note.isHidden)
            targets.insert(note.docking->targetID);
    }
    return targets;
}

NoteRole roleOf(const Note* note, const QSet<QUuid>& targetsOfShownDependants)
{
    if (!note)
        return {};
    if (note->docking)
        return {true, false};
    return {false, targetsOfShownDependants.contains(note->id)};
}

} // namespace

bool NoteWorkspace::isLeftMouseButtonDown()
{
    return X11WindowBehaviour::primaryButtonDown();
}

NoteWorkspace::NoteWorkspace(WorkspaceHost& host, const ScreenProvider& screens, MouseQuery leftMouseDown,
                             std::unique_ptr<RestartableTimer> burstTimer)
    : m_host(host)
    , m_screens(screens)
    , m_leftMouseDown(std::move(leftMouseDown))
    , m_burstTimer(burstTimer ? std::move(burstTimer) : std::make_unique<QtRestartableTimer>())
{
    m_screenPass.setSingleShot(true);
    m_screenPass.setInterval(0);
    m_screenPass.callOnTimeout([this] { screensChanged(); });
    m_moveEndTimer.setInterval(GroupMove::followIntervalMs);
    m_moveEndTimer.callOnTimeout([this] { followNativeMove(); });
    m_feedbackClear.setSingleShot(true);
    m_feedbackClear.setInterval(GroupMove::feedbackClearDelayMs);
    m_feedbackClear.callOnTimeout([this] { clearSnapFeedback(); });
}

NoteWorkspace::~NoteWorkspace()
{
    m_gradual.reset();
    detachAllNativeLinks();
    m_moveEndTimer.stop();
    m_feedbackClear.stop();
    // Windows that outlive the workspace manage their own level from now on.
    for (WorkspaceWindow* window : m_host.noteWindows()) {
        if (window->host() == this)
            window->setHost(nullptr);
    }
}

NoteStore* NoteWorkspace::store() const
{
    return m_host.noteStore();
}

void NoteWorkspace::applyLevel(WorkspaceWindow& window, int level)
{
    window.setLevel(level);
    const int taken = window.level();
    window.setPanelLevels(taken, DesktopWindowPolicy::reminderPanelLevel(taken));
}

int NoteWorkspace::ownLevel(const QUuid& noteID) const
{
    const NoteStore* notes = store();
    const Note* note = notes ? notes->findNote(noteID) : nullptr;
    return DesktopWindowPolicy::noteLevel(note && note->alwaysOnTop);
}

void NoteWorkspace::attach(WorkspaceWindow& window)
{
    window.setHost(this);
    const QUuid id = window.noteID();
    const int level = m_raised ? windowLevel::floating : ownLevel(id);
    window.setTemporarilyRaised(m_raised);
    applyLevel(window, level);

    if (NoteStore* notes = store()) {
        // Read where the store holds it, and copied only when its frame changes.
        if (const Note* note = notes->findNote(id)) {
            const WindowFrame before = note->frame;
            WindowFrame after = before;
            // Docked notes are placed by the reflow, not by their windows.
            // Windows stand at whole pixels; a fractional stored frame within
            // a pixel of its window is the same place.
            const QRectF shown = window.frame();
            const double tolerance = WindowGeometry::pixelTolerance(window.backingScale());
            if (!note->docking && !WindowGeometry::sameFrame(shown, displayedRect(*note), tolerance))
                after = WindowFrameTracking::expandedFrame(shown, before, note->isCollapsed);
            // A frame smaller than a window can be would never match its
            // window, and every comparison would try to put it back.
            const QRectF clamped = WindowGeometry::clampedToMinimum(QRectF(after.x, after.y, after.width, after.height));
            after = {clamped.x(), clamped.y(), clamped.width(), clamped.height()};
            if (after != before) {
                Note changed = *note;
                changed.frame = after;
                notes->update(std::move(changed), false, false);
            }
        }
    }
    // While a presentation makes many windows, the dependants are looked up
    // once for all of them.
    const NoteStore* notes = store();
    const NoteRole role = m_presentedTargets && notes ? roleOf(notes->findNote(id), *m_presentedTargets) : noteRole(id);
    window.setRole(role.secondary, role.primary);
}

void NoteWorkspace::presentAll(std::optional<QUuid> focus, bool activate, bool includeHidden)
{
    // A presentation asked for during a burst (a handed-over note becoming
    // key, say) joins it: the burst's own pass comes soon enough.
    if (m_burstTimer->isPending())
        joinBurst(focus, activate, false, includeHidden);
    else
        present(focus, activate, includeHidden, false);
}

void NoteWorkspace::present(std::optional<QUuid> focus, bool activate, bool includeHidden, bool keepOrdered)
{
    NoteStore* notes = store();
    if (m_presenting || !notes)
        return;
    if (isPresentingGradually()) {
        deferPresentation(m_deferredPresentation, focus, activate, includeHidden);
        return;
    }
    m_presenting = true;

    // Only which notes are presented and whether they were hidden matter
    // here: copying every note would cost more than the pass itself.
    struct Presented {
        QUuid id;
        bool hidden = false;
    };
    std::vector<Presented> presented;
    presented.reserve(notes->notes().size());
    for (const Note& note : notes->notes()) {
        if (!note.deletedAt && (includeHidden || !note.isHidden))
            presented.push_back({note.id, note.isHidden});
    }
    const bool focusPresented = focus && std::any_of(presented.begin(), presented.end(),
                                                     [&](const Presented& note) { return note.id == *focus; });
    if (!focusPresented)
        focus.reset();

    m_presentedTargets = targetsOfShownDependants(notes->notes());
    for (const Presented& note : presented)
        m_host.ensureController(note.id);
    m_presentedTargets.reset();

    size_t alreadyOrdered = 0;
    if (keepOrdered) {
        std::vector<quint64> stamps;
        stamps.reserve(presented.size());
        for (const Presented& note : presented) {
            const WorkspaceWindow* window = m_host.noteWindow(note.id);
            const bool inPlace = window && !note.hidden && window->isVisible() && window->isTemporarilyRaised()
                && window->level() == windowLevel::floating;
            stamps.push_back(inPlace ? m_frontStamps.value(note.id) : 0);
        }
        alreadyOrdered = orderedPrefixLength(stamps);
    }

    m_raised = true;
    // The windows already in order are shown, raised and at the top level:
    // there is nothing to do for them.
    for (size_t index = alreadyOrdered; index < presented.size(); ++index) {
        const Presented& note = presented[index];
        if (note.hidden) {
            if (const Note* stored = notes->findNote(note.id)) {
                Note shown = *stored;
                shown.isHidden = false;
                notes->update(shown, false, false);
            }
        }
        if (WorkspaceWindow* window = m_host.noteWindow(note.id)) {
            window->setTemporarilyRaised(true);
            applyLevel(*window, windowLevel::floating);
            orderFront(*window);
        }
    }

    reflow();

    WorkspaceWindow* focused = focus ? m_host.noteWindow(*focus) : nullptr;
    if (focused) {
        orderFront(*focused);
        if (activate)
            focused->makeKeyAndFocusText();
    }
    m_presenting = false;
}

void NoteWorkspace::orderFront(WorkspaceWindow& window)
{
    window.orderFrontRegardless();
    m_frontStamps.insert(window.noteID(), ++m_lastFrontStamp);
}

void NoteWorkspace::presentAllGradually(std::function<void()> finished)
{
    NoteStore* notes = store();
    if (!notes) {
        if (finished)
            finished();
        return;
    }
    if (m_gradual)
        m_gradual->cancel();
    std::vector<QUuid> order = presentationOrder(notes->notes(), m_screens.visibleFrames());
    m_gradual = std::make_unique<GradualPresentation>(
        std::move(order), [this](const QUuid& noteID) { presentOne(noteID); },
        [this, finished = std::move(finished)] {
            // One full pass puts every window in its final order and role.
            m_presentedTargets.reset();
            const DeferredPresentation deferred = std::exchange(m_deferredPresentation, {});
            present(deferred.focus, false, deferred.includeHidden, true);
            if (finished)
                finished();
        });
    // The docked groups are laid out before any window is made, so that each
    // window starts where the layout puts it: moving hundreds of them once
    // they are all shown would freeze the end of the launch.
    persistLayout(solvedDockedGroups());
    m_raised = true;
    m_deferredPresentation = {};
    // Roles given while the windows are made come from the dependants as they
    // were at the start; the final pass brings them up to date.
    m_presentedTargets = targetsOfShownDependants(notes->notes());
    m_gradual->start();
}

bool NoteWorkspace::isPresentingGradually() const
{
    return m_gradual && m_gradual->isRunning();
}

void NoteWorkspace::presentAllForBurst(std::optional<QUuid> focus, bool activate, bool includeHidden)
{
    if (!store())
        return;
    // Making a window key tells every window of the application: the first
    // request of a burst takes the keyboard at once, a later one only with
    // the burst's pass.
    const bool first = !m_burstTimer->isPending();
    joinBurst(focus, activate && first, activate && !first, includeHidden);
}

void NoteWorkspace::joinBurst(std::optional<QUuid> focus, bool activateNow, bool activateAtEnd, bool includeHidden)
{
    if (!m_burstTimer->isPending())
        m_burstActivates = false;
    deferPresentation(m_burstPresentation, focus, activateNow, includeHidden);
    m_burstActivates = (m_burstActivates || activateAtEnd) && !activateNow;
    m_burstTimer->start(burstQuiet, [this] {
        const DeferredPresentation deferred = std::exchange(m_burstPresentation, {});
        present(deferred.focus, std::exchange(m_burstActivates, false), deferred.includeHidden, false);
    });
}

void NoteWorkspace::deferPresentation(DeferredPresentation& deferred, std::optional<QUuid> focus, bool activate,
                                      bool includeHidden)
{
    deferred.includeHidden = deferred.includeHidden || includeHidden;
    WorkspaceWindow* focused = focus ? m_host.noteWindow(*focus) : nullptr;
    if (!focused)
        return;
    deferred.focus = focus;
    focused->setTemporarilyRaised(true);
    applyLevel(*focused, windowLevel::floating);
    orderFront(*focused);
    if (activate)
        focused->makeKeyAndFocusText();
}

void NoteWorkspace::presentOne(const QUuid& noteID)
{
    const NoteStore* notes = store();
    const Note* note = notes ? notes->findNote(noteID) : nullptr;
    if (!note || note->deletedAt || note->isHidden)
        return;
    m_raised = true;
    m_host.ensureController(noteID);
    if (WorkspaceWindow* window = m_host.noteWindow(noteID)) {
        window->setTemporarilyRaised(true);
        applyLevel(*window, windowLevel::floating);
        orderFront(*window);
    }
}

void NoteWorkspace::settleAll()
{
    m_raised = false;
    m_frontStamps.clear();
    for (WorkspaceWindow* window : m_host.noteWindows()) {
        const int level = ownLevel(window->noteID());
        window->setTemporarilyRaised(false);
        applyLevel(*window, level);
    }
}

void NoteWorkspace::setLayerForAll(bool onTop)
{
    NoteStore* notes = store();
    if (!notes || !notes->setSharedWindowLayer(onTop))
        return;
    m_raised = false;
    m_frontStamps.clear();
    const int level = DesktopWindowPolicy::noteLevel(onTop);
    for (WorkspaceWindow* window : m_host.noteWindows()) {
        window->setTemporarilyRaised(false);
        applyLevel(*window, level);
        window->refresh();
    }
}

NoteRole NoteWorkspace::noteRole(const QUuid& noteID) const
{
    const NoteStore* notes = store();
    const Note* note = notes ? notes->findNote(noteID) : nullptr;
    if (!note)
        return {};
    if (note->docking)
        return {true, false};
    const std::vector<Note>& all = notes->notes();
    const bool shownDependant = std::any_of(all.begin(), all.end(), [&](const Note& other) {
        return other.docking && other.docking->targetID == noteID && !other.isHidden && !other.deletedAt;
    });
    return {false, shownDependant};
}

void NoteWorkspace::refreshNoteRoles()
{
    const NoteStore* notes = store();
    const QSet<QUuid> targets = notes ? targetsOfShownDependants(notes->notes()) : QSet<QUuid>();
    for (WorkspaceWindow* window : m_host.noteWindows()) {
        const NoteRole role = roleOf(notes ? notes->findNote(window->noteID()) : nullptr, targets);
        window->setRole(role.secondary, role.primary);
    }
}

void NoteWorkspace::screenParametersChanged()
{
    m_screenPass.start(0);
}

void NoteWorkspace::screensChanged()
{
    if (m_movingID || m_isApplyingFrames) {
        m_screenRecoveryPending = true;
        return;
    }
    if (m_leftMouseDown && m_leftMouseDown()) {
        // A window may be moving with the button held (a drag the window
        // manager runs): the change waits until the button is released.
        m_screenRecoveryPending = true;
        m_screenPass.start(screenRetryMs);
        return;
    }
    NoteStore* notes = store();
    if (!notes)
        return;
    m_screenRecoveryPending = false;
    for (const Note& note : notes->active()) {
        if (note.docking)
            continue;
        if (WorkspaceWindow* window = m_host.noteWindow(note.id))
            recoverOntoScreens(*window);
    }
    reflow();
}

void NoteWorkspace::recoverOntoScreens(WorkspaceWindow& window) const
{
    const QRectF shown = window.frame();
    const QRectF recovered = WindowGeometry::recoveredFrame(shown, m_screens.visibleFrames());
    if (recovered != shown)
        window.applyFrame(recovered);
    window.saveFrame();
}

void NoteWorkspace::reset()
{
    m_burstTimer->cancel();
    m_burstPresentation = {};
    m_burstActivates = false;
    detachAllNativeLinks();
    m_moveStartFrames.clear();
    m_managedMoveIDs.clear();
    m_userResizeID.reset();
    m_userResizeStartFrame.reset();
    m_userResizeSeamNeighbor.reset();
    m_userResizeSeamStartHeight.reset();
    m_screenRecoveryPending = false;
    m_feedbackClear.stop();
    clearSnapFeedback();
    m_moveEndTimer.stop();
    m_movingID.reset();
    m_nativeMoveSession = false;
    m_moveMouseDownTimestamp.reset();
    m_moveMouseStart.reset();
    m_moveNoteStart.reset();
    m_didMove = false;
    m_snapLatched = false;
    m_pendingSnap.reset();
    m_knownSizes.clear();
    m_knownCollapsed.clear();
    m_serverAnswers.clear();
    m_frontStamps.clear();
    refreshNoteRoles();
}

void NoteWorkspace::detachAll()
{
    finishMove();
    if (NoteStore* notes = store()) {
        for (Note note : notes->active()) {
            if (note.docking) {
                note.docking.reset();
                notes->update(note, false, false);
            }
        }
    }
    syncNativeLinks();
}

} // namespace quorrin
