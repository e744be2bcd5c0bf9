#pragma once

#include "Domain/NoteColor.h"
#include "Core/Time/Calendar.h"
#include "Core/Time/Clock.h"
#include "Core/Time/Date.h"
#include "Core/Time/RestartableTimer.h"

#include <QObject>
#include <QPointer>
#include <QUuid>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace quorrin {

class NoteStore;
class SystemEvents;

// What the alarm centre takes from its surroundings; tests replace each part.
struct ReminderAlarmServices {
    Clock clock = systemNow;
    std::function<Calendar()> calendar = &Calendar::current;
    // Runs the periodic sweep; an event-loop timer when not given.
    std::unique_ptr<RestartableTimer> timer;
    // Wake, clock, time-zone and activation events; none watched when null.
    SystemEvents* events = nullptr;
};

// Decides which todo reminders ring inside the application. A reminder starts
// ringing when its effective date passes while the application runs, and
// keeps ringing until it is acknowledged or the todo stops qualifying
// (completed, archived, deleted, reminder removed or moved into the future).
//
// Each sweep looks only at the window since the previous sweep for new
// alarms, so a reminder rings at most once per pass of the clock over its
// date, and one that fell due while the application was not running never
// rings. Sweeps run on every change of the store's notes, on the machine
// events that move reminders in time, and twice a second once started.
// Main thread only.
class ReminderAlarmCenter : public QObject {
    Q_OBJECT
public:
    struct Alarm {
        QUuid noteID;
        QUuid blockID;
        NoteColor color = NoteColor::Cream; // the note's colour as of the last sweep

        friend bool operator==(const Alarm&, const Alarm&) = default;
    };

    static constexpr std::chrono::milliseconds sweepInterval{500};

    // `launch` opens the first sweep window: reminders due at or before it
    // never ring. Observes the store at once but does not sweep.
    ReminderAlarmCenter(NoteStore* store, Date launch, ReminderAlarmServices services = {}, QObject* parent = nullptr);

    // Surviving alarms in the order they started, then new ones in note order
    // and stored block order; never two equal alarms.
    const std::vector<Alarm>& alarms() const { return m_alarms; }

    // Called after `alarms` changed, synchronously from the sweep or the
    // acknowledgement that changed it.
    std::function<void()> onChange;

    // Starts the periodic sweep; a second call does nothing.
    void start();
    // Brings the alarms up to date at `now`. Does nothing once the store is gone.
    void sweep(Date now);
    // Ends the ringing of a todo. The todo itself is left alone.
    void acknowledge(const QUuid& noteID, const QUuid& blockID);

private:
    void sweepNow();
    void scheduleTick();
    void publish(std::vector<Alarm> alarms);

    QPointer<NoteStore> m_store;
    Clock m_clock;
    std::function<Calendar()> m_calendar;
    std::unique_ptr<RestartableTimer> m_timer;
    bool m_started = false;
    Date m_lastSweep;
    std::vector<Alarm> m_alarms;
};

} // namespace quorrin
