#include "Features/Reminders/ReminderAlarmCenter.h"

#include "Features/Reminders/NotificationPlan.h"
#include "Persistence/NoteStore.h"
#include "Platform/SystemEvents.h"

#include <algorithm>
#include <optional>

namespace quorrin {

namespace {

// Builds the calendar only when a wall-clock reminder needs it, so a steady
// sweep over one-off reminders never asks for the system's time zone.
class LazyCalendar {
public:
    explicit LazyCalendar(const std::function<Calendar()>& make)
        : m_make(make)
    {
    }

    Date effectiveDate(const TodoReminder& reminder)
    {
        if (!reminder.localTime)
            return reminder.date;
        if (!m_calendar)
            m_calendar = m_make();
        return reminderNotification::effectiveDate(reminder, *m_calendar);
    }

private:
    const std::function<Calendar()>& m_make;
    std::optional<Calendar> m_calendar;
};

const Note* firstNote(const std::vector<Note>& notes, const QUuid& id)
{
    const auto it = std::find_if(notes.begin(), notes.end(), [&](const Note& note) { return note.id == id; });
    return it == notes.end() ? nullptr : &*it;
}

const Block* firstBlock(const Note& note, const QUuid& id)
{
    const auto it =
        std::find_if(note.blocks.begin(), note.blocks.end(), [&](const Block& block) { return block.id == id; });
    return it == note.blocks.end() ? nullptr : &*it;
}

} // namespace

ReminderAlarmCenter::ReminderAlarmCenter(NoteStore* store, Date launch, ReminderAlarmServices services, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_clock(std::move(services.clock))
    , m_calendar(std::move(services.calendar))
    , m_timer(services.timer ? std::move(services.timer) : std::make_unique<QtRestartableTimer>())
    , m_lastSweep(launch)
{
    // Only the store's own announcements count; Qt drops the connection when
    // either side goes away.
    if (store)
        connect(store, &NoteStore::notesChanged, this, &ReminderAlarmCenter::sweepNow);
    if (SystemEvents* events = services.events) {
        connect(events, &SystemEvents::woke, this, &ReminderAlarmCenter::sweepNow);
        connect(events, &SystemEvents::activated, this, &ReminderAlarmCenter::sweepNow);
        connect(events, &SystemEvents::timeZoneChanged, this, &ReminderAlarmCenter::sweepNow);
        connect(events, &SystemEvents::clockChanged, this, &ReminderAlarmCenter::sweepNow);
    }
}

void ReminderAlarmCenter::start()
{
    if (m_started)
        return;
    m_started = true;
    scheduleTick();
}

// A repeating tick built from the single-shot timer: the next tick is armed
// before the sweep runs, so a slow sweep does not stretch the period.
void ReminderAlarmCenter::scheduleTick()
{
    m_timer->start(sweepInterval, [this] {
        scheduleTick();
        sweepNow();
    });
}

void ReminderAlarmCenter::sweepNow()
{
    sweep(m_clock());
}

void ReminderAlarmCenter::sweep(Date now)
{
    if (!m_store)
        return;
    const std::vector<Note>& notes = m_store->notes();
    LazyCalendar calendar(m_calendar);

    // Keep: an alarm survives while its todo still qualifies and is still due.
    std::vector<Alarm> next;
    for (const Alarm& alarm : m_alarms) {
        const Note* note = firstNote(notes, alarm.noteID);
        if (!note || note->deletedAt)
            continue;
        const Block* block = firstBlock(*note, alarm.blockID);
        const TodoReminder* reminder = block ? reminderNotification::activeReminder(*block) : nullptr;
        if (!reminder || !(calendar.effectiveDate(*reminder) <= now))
            continue;
        next.push_back(Alarm{alarm.noteID, alarm.blockID, note->color});
    }

    // Add: reminders whose date the clock passed since the last sweep. A clock
    // set back opens no window, so nothing is added until it catches up.
    if (now > m_lastSweep) {
        for (const Note& note : notes) {
            if (note.deletedAt)
                continue;
            for (const Block& block : note.blocks) {
                const TodoReminder* reminder = reminderNotification::activeReminder(block);
                if (!reminder)
                    continue;
                const Date due = calendar.effectiveDate(*reminder);
                if (!(m_lastSweep < due && due <= now))
                    continue;
                const Alarm alarm{note.id, block.id, note.color};
                if (std::find(next.begin(), next.end(), alarm) == next.end())
                    next.push_back(alarm);
            }
        }
    }
    m_lastSweep = now;
    publish(std::move(next));
}

void ReminderAlarmCenter::acknowledge(const QUuid& noteID, const QUuid& blockID)
{
    const auto rings = [&](const Alarm& alarm) { return alarm.noteID == noteID && alarm.blockID == blockID; };
    if (std::none_of(m_alarms.begin(), m_alarms.end(), rings))
        return;
    std::vector<Alarm> remaining = m_alarms;
    std::erase_if(remaining, rings);
    publish(std::move(remaining));
}

void ReminderAlarmCenter::publish(std::vector<Alarm> alarms)
{
    if (alarms == m_alarms)
        return;
    m_alarms = std::move(alarms);
    if (onChange)
        onChange();
}

} // namespace quorrin
