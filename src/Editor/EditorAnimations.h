#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QUuid>

#include <functional>
#include <optional>

namespace quorrin {

class BlockEditor;

// The editor's two timer-driven animations. The task reveal grows a new
// todo's indent from nothing to full width over 0.22 s (60 steps a second);
// the alarm pulse makes the visuals of ringing todos breathe (30 steps a
// second) and stops by itself once none of the note's todos rings.
//
// Made by the editor, whose reveal and pulse hooks it installs; it goes with
// the editor, its timers with it.
class EditorAnimations final : public QObject {
    Q_OBJECT
public:
    // Monotonic seconds; the default counts from the animations' creation.
    using Uptime = std::function<double()>;

    explicit EditorAnimations(BlockEditor& editor, Uptime uptime = {});
    ~EditorAnimations() override;

    static constexpr double revealDuration = 0.22;
    static constexpr int revealIntervalMs = 1000 / 60;
    static constexpr int pulseIntervalMs = 1000 / 30;
    static constexpr double reducedMotionPulse = 0.75;

    void startTaskReveal(const QUuid& id);
    void finishTaskReveal();
    void startAlarmPulse();
    void stopAlarmPulse();
    // Both timers stop; the editor's state is left as it is.
    void stop();

    bool isRevealRunning() const { return m_revealTimer.isActive(); }
    bool isPulseRunning() const { return m_pulseTimer.isActive(); }

    // One step of each, as the timers take them (tests call these directly).
    void revealTick();
    void pulseTick();

    // The pulse at `elapsed` seconds after it started: 0.12...0.90 at 1.2
    // cycles a second, 0.51 at the start.
    static double pulseAt(double elapsed);
    // Smoothstep of the reveal's linear progress.
    static double eased(double t);

private:
    bool animationsAllowed() const;

    BlockEditor& m_editor;
    Uptime m_uptime;
    QElapsedTimer m_sinceCreation;
    QTimer m_revealTimer;
    QTimer m_pulseTimer;
    std::optional<QUuid> m_revealID;
    double m_revealStart = 0;
    double m_pulseStart = 0;
};

} // namespace quorrin
