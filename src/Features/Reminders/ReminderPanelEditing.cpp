#include "Features/Reminders/ReminderPanelEditing.h"

#include "Features/Reminders/ReminderPanelLayout.h"

#include <QLocale>

#include <algorithm>

namespace quorrin {
namespace {

const QString futureTimeNeeded = QStringLiteral("请选择未来时间，或至少一个星期。");
const QString permissionRefused = QStringLiteral("未获通知权限。请在系统设置 → 通知中允许 Quorrin。");
const QString saveFailed = QStringLiteral("保存失败，提醒未更改。");

QString frequencyLabel(const std::optional<RepeatRule::Frequency>& frequency)
{
    if (!frequency)
        return QStringLiteral("不重复");
    switch (*frequency) {
    case RepeatRule::Frequency::Daily:
        return QStringLiteral("每天");
    case RepeatRule::Frequency::Weekly:
        return QStringLiteral("每周");
    case RepeatRule::Frequency::Monthly:
        return QStringLiteral("每月");
    }
    return {};
}

bool qualifies(const Block& block)
{
    return block.kind == BlockKind::Todo && !block.isArchived() && block.todo && !block.todo->isCompleted;
}

} // namespace

Date effectiveDate(const TodoReminder& reminder, const Calendar& calendar)
{
    if (reminder.localTime) {
        if (const std::optional<Date> local = reminder.localTime->date(calendar))
            return *local;
    }
    return reminder.date;
}

ReminderPanelEditing::ReminderPanelEditing(ReminderPanelHost host)
    : m_host(std::move(host))
{
    const std::optional<TodoReminder> stored = storedReminder();
    m_draft = ReminderDraft::make(stored, m_host.now(), m_host.calendar);
    m_quickChoice = stored ? ReminderQuickChoice::Custom : ReminderQuickChoice::OneHour;
}

ReminderPanelEditing::~ReminderPanelEditing() = default;

std::optional<TodoReminder> ReminderPanelEditing::storedReminder() const
{
    const std::optional<Block> block = m_host.block();
    if (!block || !block->todo)
        return std::nullopt;
    return block->todo->reminder;
}

bool ReminderPanelEditing::todoQualifies() const
{
    const std::optional<Block> block = m_host.block();
    return block && !m_host.noteDeleted() && qualifies(*block);
}

QString ReminderPanelEditing::todoTitle(const Block& block)
{
    const QString text = block.text.attributed().string();
    return text.isEmpty() ? QStringLiteral("未命名待办") : text;
}

QString ReminderPanelEditing::repeatTitle() const
{
    return QStringLiteral("重复 · ") + frequencyLabel(m_draft.frequency) +
           (m_detailsExpanded ? QStringLiteral("  \u2303") : QStringLiteral("  \u2304"));
}

QString ReminderPanelEditing::previewText() const
{
    const std::optional<TodoReminder> planned = m_draft.planned(m_host.calendar);
    if (!planned)
        return QStringLiteral("请选择至少一个星期");
    const Date date = effectiveDate(*planned, m_host.calendar);
    const QString prefix = date <= m_host.now() ? QStringLiteral("已过期 · ") : QStringLiteral("将提醒于 · ");
    const QDateTime local = date.toDateTime().toTimeZone(m_host.calendar.timeZone());
    const QLocale locale;
    return prefix + locale.toString(local.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(local.time(), reminderPanelLayout::minutePattern(locale));
}

QString ReminderPanelEditing::monthText() const
{
    return QStringLiteral("每月") + QString::number(m_draft.monthDay) + QStringLiteral("日 · 不存在时用月末");
}

QString ReminderPanelEditing::removeTitle() const
{
    const std::optional<TodoReminder> stored = storedReminder();
    return stored && stored->repetition ? QStringLiteral("取消并停止重复") : QStringLiteral("取消提醒");
}

void ReminderPanelEditing::chooseQuickDate(int tag)
{
    const std::optional<ReminderQuickChoice> choice = reminderQuickChoice::fromRawValue(tag);
    if (!choice)
        return;
    m_message.clear();
    const Date now = m_host.now();
    if (*choice == ReminderQuickChoice::OneHour) {
        m_draft.date = now.addingSeconds(3600);
    } else if (*choice == ReminderQuickChoice::TomorrowNine) {
        if (std::optional<Calendar::Components> tomorrow =
                m_host.calendar.addingDays(m_host.calendar.components(now), 1)) {
            tomorrow->hour = 9;
            tomorrow->minute = 0;
            tomorrow->second = 0;
            if (const std::optional<Date> nine = m_host.calendar.date(*tomorrow))
                m_draft.date = *nine;
        }
    }
    m_quickChoice = *choice;
    changed();
}

void ReminderPanelEditing::changeDate(Date date)
{
    m_draft.date = date;
    m_quickChoice = ReminderQuickChoice::Custom;
    m_message.clear();
    changed();
}

void ReminderPanelEditing::changeFrequency(int tag)
{
    switch (tag) {
    case 0:
        m_draft.frequency.reset();
        break;
    case 1:
        m_draft.frequency = RepeatRule::Frequency::Daily;
        break;
    case 2:
        m_draft.frequency = RepeatRule::Frequency::Weekly;
        break;
    case 3:
        m_draft.frequency = RepeatRule::Frequency::Monthly;
        break;
    default:
        return;
    }
    changed();
}

void ReminderPanelEditing::changeWeekday(int tag)
{
    if (tag < 1 || tag > 7)
        return;
    if (!m_draft.weekdays.erase(tag))
        m_draft.weekdays.insert(tag);
    changed();
}

void ReminderPanelEditing::changeMonthDay(int day)
{
    m_draft.monthDay = std::clamp(day, 1, 31);
    changed();
}

void ReminderPanelEditing::toggleDetails()
{
    m_detailsExpanded = !m_detailsExpanded;
    changed();
}

void ReminderPanelEditing::setMessage(const QString& text)
{
    m_message = text;
    changed();
}

void ReminderPanelEditing::setBusy(bool busy)
{
    m_isBusy = busy;
    changed();
}

void ReminderPanelEditing::saveReminder()
{
    const std::optional<TodoReminder> planned = m_draft.planned(m_host.calendar);
    if (m_isBusy || !planned || effectiveDate(*planned, m_host.calendar) <= m_host.now()) {
        setMessage(futureTimeNeeded);
        return;
    }
    commit(planned, true);
}

void ReminderPanelEditing::snooze(int seconds)
{
    const std::optional<TodoReminder> stored = storedReminder();
    if (!stored)
        return;
    TodoReminder snoozed;
    snoozed.date = m_host.now().addingSeconds(seconds);
    snoozed.repetition = stored->repetition;
    commit(snoozed, true);
}

void ReminderPanelEditing::removeReminder()
{
    if (m_isBusy || m_isClosing)
        return;
    m_isBusy = true;
    m_message.clear();
    changed();
    afterAuthorization(true, m_generation, std::nullopt);
}

void ReminderPanelEditing::commit(const std::optional<TodoReminder>& reminder, bool needsAuthorization)
{
    if (m_isBusy || m_isClosing)
        return;
    m_isBusy = true;
    m_message.clear();
    changed();
    const int generation = m_generation;
    if (!needsAuthorization || !m_host.authorize) {
        afterAuthorization(true, generation, reminder);
        return;
    }
    const std::weak_ptr<Alive> alive = m_alive;
    m_host.authorize([this, alive, generation, reminder](bool granted) {
        if (!alive.expired())
            afterAuthorization(granted, generation, reminder);
    });
}

void ReminderPanelEditing::afterAuthorization(bool granted, int generation,
                                              const std::optional<TodoReminder>& reminder)
{
    if (!isCurrent(generation))
        return;
    if (!granted) {
        m_isBusy = false;
        setMessage(permissionRefused);
        return;
    }
    if (!m_host.editorAlive() || !todoQualifies()) {
        if (onDismissRequest)
            onDismissRequest(true, true);
        return;
    }
    const QString undoName = reminder ? QStringLiteral("设置待办提醒") : QStringLiteral("取消待办提醒");
    if (!m_host.change(undoName, reminder)) {
        // The note keeps its reminder; the panel stays open for another try.
        m_isBusy = false;
        setMessage(saveFailed);
        return;
    }
    if (!m_host.synchronize) {
        afterSynchronization(std::nullopt, generation, reminder);
        return;
    }
    const std::weak_ptr<Alive> alive = m_alive;
    m_host.synchronize([this, alive, generation, reminder](std::optional<QString> error) {
        if (!alive.expired())
            afterSynchronization(error, generation, reminder);
    });
}

void ReminderPanelEditing::afterSynchronization(const std::optional<QString>& error, int generation,
                                                const std::optional<TodoReminder>& reminder)
{
    if (!isCurrent(generation))
        return;
    m_isBusy = false;
    if (error && reminder) {
        setMessage(*error);
        return;
    }
    if (reminder && m_host.deliveryNotice) {
        if (const std::optional<QString> notice = m_host.deliveryNotice()) {
            // Saved; the panel stays open so the notice can be read.
            setMessage(*notice);
            return;
        }
    }
    setMessage(reminder ? QStringLiteral("已保存提醒") : QStringLiteral("已取消提醒"));
    const std::weak_ptr<Alive> alive = m_alive;
    m_host.later(reminderPanelLayout::closeAfterConfirmationSeconds, [this, alive, generation] {
        if (!alive.expired() && generation == m_generation && onDismissRequest)
            onDismissRequest(true, true);
    });
}

bool ReminderPanelEditing::dismiss(bool force)
{
    if (m_isClosing || (!force && m_isBusy))
        return false;
    m_isClosing = true;
    ++m_generation;
    return true;
}

void ReminderPanelEditing::changed()
{
    if (onChange)
        onChange();
}

} // namespace quorrin
