#pragma once

#include "Features/Reminders/ReminderStore.h"
#include "Core/Time/Calendar.h"
#include "Core/Time/Clock.h"
#include "Core/Notifications/NotificationCenter.h"
#include "Windows/NoteWindowSeams.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>
#include <vector>

namespace quorrin {

class SystemEvents;

// Keeps the notification centre's pending requests in step with the todo
// reminders of the notes, which are the only truth, and answers the user's
// actions on delivered notifications.
//
// A pass compares the wanted notifications with what the centre holds,
// withdraws what is not wanted, adds what is missing and publishes a status.
// Passes run after every successful save, when the machine wakes, the clock
// or the time zone changes, and when the application becomes active. At most
// one pass is in flight; any number of requests during a pass lead to
// exactly one more.
class ReminderCoordinator : public QObject {
    Q_OBJECT
public:
    inline static const QString checkingStatus = QStringLiteral("正在核对系统通知");
    inline static const QString failedStatus = QStringLiteral("系统通知安排失败；提醒定义已保存，请稍后重试");
    inline static const QString failedError = QStringLiteral("提醒已保存，系统暂未完成安排，请稍后重试。");
    inline static const QString scheduledStatus = QStringLiteral("已与系统通知核对（未来提醒）");
    inline static const QString unauthorizedStatus =
        QStringLiteral("尚未获得通知权限，提醒不会投递；请在系统设置 → 通知中允许 Quorrin");
    inline static const QString unauthorizedError = QStringLiteral("请在系统设置 → 通知中允许 Quorrin。");
    inline static const QString undeterminedStatus =
        QStringLiteral("没有正在运行的桌面通知服务；提醒仍会在便笺中响铃，通知服务运行后才会弹出桌面通知");
    inline static const QString undeterminedNotice =
        QStringLiteral("已保存提醒。桌面通知暂不可用：通知服务运行后才会弹出；到时便笺中仍会响铃。");
    inline static const QString snooze10 = QStringLiteral("snooze10");
    inline static const QString snooze60 = QStringLiteral("snooze60");

    // The category of every reminder notification and its two snooze actions.
    static NotificationCategory category();

    // `events` may be null (no machine events are then watched). The centre
    // must outlive the coordinator; the store may go away first.
    ReminderCoordinator(ReminderStore* store, NotificationCenter& center, SystemEvents* events,
                        Clock clock = systemNow, std::function<Calendar()> calendar = &Calendar::current,
                        QObject* parent = nullptr);
    ~ReminderCoordinator() override;

    // Asked to show a todo: note id, block id.
    std::function<void(QUuid, QUuid)> open;

    const QString& status() const { return m_status; }
    // The problem of the last pass; nothing when it scheduled everything.
    const std::optional<QString>& schedulingError() const { return m_schedulingError; }

    // Whether a reminder may be saved, asking the user first when undecided.
    // Only a refusal answers false: where nobody can decide (no notification
    // service is running) the reminder is saved and rings in the app.
    // Starts no pass.
    void authorize(std::function<void(bool)> completion);
    // Once while desktop notifications cannot be shown because no service
    // decides about them (until a pass finds them allowed again): the text
    // telling the user so. Nothing otherwise.
    std::optional<QString> takeDeliveryNotice();
    // Calls `completion` when a pass that started after this call has ended.
    void flush(std::function<void()> completion);

public Q_SLOTS:
    void reconcile();

Q_SIGNALS:
    void statusChanged(const QString& status);

private:
    void startPass();
    void apply(const NotificationSettings& settings, const QList<NotificationRequest>& pending);
    void finish(bool failed, AuthorizationStatus authorization);
    void respond(const NotificationResponse& response);
    void snooze(const QUuid& noteID, const QUuid& blockID, double seconds);

    QPointer<ReminderStore> m_store;
    NotificationCenter& m_center;
    Clock m_clock;
    std::function<Calendar()> m_calendar;
    QString m_status = checkingStatus;
    std::optional<QString> m_schedulingError;
    bool m_running = false;
    bool m_deliveryUndetermined = false; // the last pass found nobody to decide about notifications
    bool m_noticeGiven = false;          // the user was told so since
    bool m_dirty = false;
    std::vector<std::function<void()>> m_completions;
};

// What a reminder panel asks of the coordinator: permission, a finished
// pass with its error, and the notice to read once. A coordinator that is
// gone permits nothing and has nothing to report.
ReminderCallbacks reminderPanelCallbacks(const QPointer<ReminderCoordinator>& reminders);

} // namespace quorrin
