#pragma once

#include "Domain/Block.h"
#include "Features/Reminders/ReminderDraft.h"

#include <QString>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

namespace quorrin {

// What the reminder panel's editing needs of its surroundings; the panel
// widget serves it from the note's editor, tests from fakes.
struct ReminderPanelHost {
    // The edited todo's block as the note holds it now; none when the editor,
    // the note or the block is gone.
    std::function<std::optional<Block>()> block;
    // Whether the editor is still alive.
    std::function<bool()> editorAlive;
    // Whether the note has been deleted.
    std::function<bool()> noteDeleted;
    // One undoable change of the note setting the todo's reminder (none
    // removes it) under the undo name; false when saving the note failed.
    std::function<bool(const QString& undoName, const std::optional<TodoReminder>& reminder)> change;
    // Asks for notification permission; the answer may come later.
    std::function<void(std::function<void(bool granted)>)> authorize;
    // Brings the desktop notifications in step; answers an error text or none.
    std::function<void(std::function<void(std::optional<QString> error)>)> synchronize;
    // After a saved reminder: a notice to read once, or none.
    std::function<std::optional<QString>()> deliveryNotice;
    // Runs a step later on the event loop.
    std::function<void(double seconds, std::function<void()> step)> later;
    std::function<Date()> now;
    Calendar calendar;
};

// The reminder panel's state between opening and closing: the draft, the
// quick choice, the message line, the busy flag and the commit of a change
// (permission, one undoable change of the note, synchronisation,
// confirmation, closing). Free of widgets; the panel shows this state after
// every change it reports.
class ReminderPanelEditing {
public:
    explicit ReminderPanelEditing(ReminderPanelHost host);
    ~ReminderPanelEditing();

    // Called after every change of what the panel shows.
    std::function<void()> onChange;
    // Asks the panel to close (animated, restoreFocus); the panel then calls
    // dismiss() below.
    std::function<void(bool animated, bool restoreFocus)> onDismissRequest;

    const ReminderDraft& draft() const { return m_draft; }
    ReminderQuickChoice quickChoice() const { return m_quickChoice; }
    bool detailsExpanded() const { return m_detailsExpanded; }
    bool isBusy() const { return m_isBusy; }
    bool isClosing() const { return m_isClosing; }
    int generation() const { return m_generation; }
    const QString& message() const { return m_message; }

    // The stored reminder of the todo, if any.
    std::optional<TodoReminder> storedReminder() const;
    // Whether the todo can still carry a reminder (a live, open todo of a
    // note that is not deleted).
    bool todoQualifies() const;

    // --- what the panel shows
    QString repeatTitle() const;
    QString previewText() const;
    QString monthText() const;
    QString removeTitle() const;
    static QString todoTitle(const Block& block);

    // --- actions of the controls
    void chooseQuickDate(int tag);
    void changeDate(Date date);
    void changeFrequency(int tag);
    void changeWeekday(int tag);
    void changeMonthDay(int day);
    void toggleDetails();
    void snooze(int seconds);
    void saveReminder();
    void removeReminder();

    // Closes once: later answers of a commit in flight change nothing.
    // Without `force` a busy panel stays; answers whether it closed.
    bool dismiss(bool force);

private:
    struct Alive {};

    void setMessage(const QString& text);
    void setBusy(bool busy);
    void commit(const std::optional<TodoReminder>& reminder, bool needsAuthorization);
    void afterAuthorization(bool granted, int generation, const std::optional<TodoReminder>& reminder);
    void afterSynchronization(const std::optional<QString>& error, int generation,
                              const std::optional<TodoReminder>& reminder);
    bool isCurrent(int generation) const { return generation == m_generation && !m_isClosing; }
    void changed();

    ReminderPanelHost m_host;
    ReminderDraft m_draft;
    ReminderQuickChoice m_quickChoice = ReminderQuickChoice::OneHour;
    bool m_detailsExpanded = false;
    bool m_isBusy = false;
    bool m_isClosing = false;
    int m_generation = 0;
    QString m_message;
    // Completions hold this weakly: a late answer after the panel is gone
    // does nothing.
    std::shared_ptr<Alive> m_alive = std::make_shared<Alive>();
};

// The effective date of a reminder: its wall-clock time when that resolves
// in the calendar, else its stored moment.
Date effectiveDate(const TodoReminder& reminder, const Calendar& calendar);

} // namespace quorrin
