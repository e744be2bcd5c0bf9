#include "Editor/EditorAnimations.h"

#include "Editor/BlockEditor.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorrin {

EditorAnimations::EditorAnimations(BlockEditor& editor, Uptime uptime)
    : QObject(&editor)
    , m_editor(editor)
    , m_uptime(std::move(uptime))
{
    m_sinceCreation.start();
    if (!m_uptime)
        m_uptime = [this] { return double(m_sinceCreation.nsecsElapsed()) / 1e9; };
    // Precise timers: a coarse one may stretch the 0.22 s reveal visibly.
    m_revealTimer.setTimerType(Qt::PreciseTimer);
    m_revealTimer.setInterval(revealIntervalMs);
    m_pulseTimer.setInterval(pulseIntervalMs);
    connect(&m_revealTimer, &QTimer::timeout, this, &EditorAnimations::revealTick);
    connect(&m_pulseTimer, &QTimer::timeout, this, &EditorAnimations::pulseTick);

    editor.startTaskReveal = [this](const QUuid& id) { startTaskReveal(id); };
    editor.finishTaskReveal = [this] { finishTaskReveal(); };
    editor.startAlarmPulse = [this] { startAlarmPulse(); };
    editor.stopAlarmPulse = [this] { stopAlarmPulse(); };
}

EditorAnimations::~EditorAnimations()
{
    stop();
}

void EditorAnimations::stop()
{
    m_revealTimer.stop();
    m_pulseTimer.stop();
    m_revealID.reset();
}

double EditorAnimations::eased(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

double EditorAnimations::pulseAt(double elapsed)
{
    return (std::sin(2 * std::numbers::pi * 1.2 * elapsed) * 0.5 + 0.5) * 0.78 + 0.12;
}

bool EditorAnimations::animationsAllowed() const
{
    const bool reduced = m_editor.prefersReducedMotion && m_editor.prefersReducedMotion();
    return !reduced && m_editor.store().preferences().animations;
}

// ---------------------------------------------------------------- task reveal

void EditorAnimations::startTaskReveal(const QUuid& id)
{
    m_revealID = id;
    m_revealStart = m_uptime();
    m_revealTimer.start();
}

void EditorAnimations::revealTick()
{
    const std::optional<Note> note = m_editor.currentNote();
    const bool isTodo = note && m_revealID
        && std::any_of(note->blocks.begin(), note->blocks.end(),
                       [&](const Block& block) { return block.id == *m_revealID && block.kind == BlockKind::Todo; });
    if (!isTodo) {
        m_revealTimer.stop();
        return;
    }
    const QUuid id = *m_revealID;
    const double t = std::min((m_uptime() - m_revealStart) / revealDuration, 1.0);
    m_editor.revealProgress[id] = eased(t);
    if (!m_editor.hasMarkedText())
        m_editor.applyParagraphLayout(*note, id);
    if (m_editor.gutter)
        m_editor.gutter->update();
    if (t >= 1) {
        m_editor.revealProgress.erase(id);
        m_revealTimer.stop();
        m_revealID.reset();
    }
}

void EditorAnimations::finishTaskReveal()
{
    m_revealTimer.stop();
    m_revealID.reset();
    m_editor.revealProgress.clear();
    const std::optional<Note> note = m_editor.currentNote();
    if (note && !m_editor.hasMarkedText())
        m_editor.applyParagraphLayout(*note);
}

// ---------------------------------------------------------------- alarm pulse

void EditorAnimations::startAlarmPulse()
{
    if (m_pulseTimer.isActive())
        return;
    if (!animationsAllowed()) {
        // A steady, dimmed emphasis instead of the breathing.
        m_editor.setAlarmPulse(reducedMotionPulse);
        return;
    }
    m_pulseStart = m_uptime();
    m_editor.setAlarmPulse(pulseAt(0));
    m_pulseTimer.start();
}

void EditorAnimations::stopAlarmPulse()
{
    m_pulseTimer.stop();
    m_editor.setAlarmPulse(1);
}

void EditorAnimations::pulseTick()
{
    bool ringing = false;
    if (m_editor.alarmCenter) {
        for (const auto& [noteID, blockID] : m_editor.alarmCenter())
            ringing = ringing || noteID == m_editor.noteID();
    }
    if (ringing) {
        m_editor.setAlarmPulse(pulseAt(m_uptime() - m_pulseStart));
    } else {
        m_pulseTimer.stop();
        m_editor.setAlarmPulse(1);
    }
    if (m_editor.gutter)
        m_editor.gutter->update();
}

} // namespace quorrin
