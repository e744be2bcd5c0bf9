#include "Features/Reminders/ReminderCoordinator.h"

#include "Features/Reminders/NotificationPlan.h"
#include "Platform/SystemEvents.h"

#include <QTimer>

#include <algorithm>
#include <memory>

namespace quorrin {

namespace {

// A UUID in its stored form: the 36-character hyphenated text.
std::optional<QUuid> uuidValue(const QVariant& value)
{
    if (value.metaType().id() != QMetaType::QString)
        return std::nullopt;
    const QString text = value.toString();
    const QUuid uuid = text.size() == 36 ? QUuid::fromString(text) : QUuid();
    if (uuid.isNull())
        return std::nullopt;
    return uuid;
}

} // namespace

NotificationCategory ReminderCoordinator::category()
{
    return NotificationCategory{reminderNotification::categoryIdentifier,
                                {{snooze10, QStringLiteral("稍后10分钟"), true},
                                 {snooze60, QStringLiteral("稍后1小时"), true}}};
}

ReminderCoordinator::ReminderCoordinator(ReminderStore* store, NotificationCenter& center, SystemEvents* events,
                                         Clock clock, std::function<Calendar()> calendar, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_center(center)
    , m_clock(std::move(clock))
    , m_calendar(std::move(calendar))
{
    const QPointer<ReminderCoordinator> self(this);
    m_center.setResponseHandler([self](NotificationResponse response, std::function<void()> done) {
        if (self)
            self->respond(response);
        done();
    });
    m_center.setCategories({category()});
    if (m_store) {
        m_store->setOnCommit([self] {
            if (self)
                self->reconcile();
        });
    }
    if (events) {
        connect(events, &SystemEvents::woke, this, &ReminderCoordinator::reconcile);
        connect(events, &SystemEvents::activated, this, &ReminderCoordinator::reconcile);
        connect(events, &SystemEvents::timeZoneChanged, this, &ReminderCoordinator::reconcile);
        connect(events, &SystemEvents::clockChanged, this, &ReminderCoordinator::reconcile);
    }
    reconcile();
}

ReminderCoordinator::~ReminderCoordinator()
{
    m_center.setResponseHandler({});
    if (m_store)
        m_store->setOnCommit({});
}

// --- passes

void ReminderCoordinator::reconcile()
{
    m_dirty = true;
    if (m_running)
        return;
    startPass();
}

void ReminderCoordinator::flush(std::function<void()> completion)
{
    m_completions.push_back(std::move(completion));
    reconcile();
}

void ReminderCoordinator::startPass()
{
    m_running = true;
    m_dirty = false;
    const QPointer<ReminderCoordinator> self(this);
    NotificationCenter* center = &m_center;
    m_center.getSettings([self, center](NotificationSettings settings) {
        if (!self)
            return;
        center->getPendingRequests([self, settings](QList<NotificationRequest> pending) {
            if (self)
                self->apply(settings, pending);
        });
    });
}

void ReminderCoordinator::apply(const NotificationSettings& settings, const QList<NotificationRequest>& pending)
{
    if (!m_store) {
        m_running = false;
        return;
    }
    // Undecided is not refused: the requests wait, and are shown if by
    // their time notifications can be.
    const AuthorizationStatus authorization = settings.allowsDelivery() ? AuthorizationStatus::authorized
                                                                        : settings.authorizationStatus;
    const bool schedules =
        authorization == AuthorizationStatus::authorized || authorization == AuthorizationStatus::notDetermined;
    // One copy of the notes serves the plans now and the delivered ones'
    // answer later.
    const auto notes = std::make_shared<const std::vector<Note>>(m_store->notes());
    const bool privacy = m_store->privateReminderContent();
    const Calendar calendar = m_calendar();
    const std::vector<ReminderPlan> wanted =
        schedules ? ReminderPlan::desired(*notes, privacy, m_clock(), calendar) : std::vector<ReminderPlan>{};

    // Time has moved on since the plans were made: the adds read it again.
    const ReminderReconcileDiff diff = reconcileReminderNotifications(wanted, pending, m_clock(), calendar.timeZone());
    m_center.removePendingRequests(diff.stalePending);

    NotificationCenter* center = &m_center;
    m_center.getDeliveredNotifications([center, notes, privacy, calendar](QList<DeliveredNotification> delivered) {
        center->removeDeliveredNotifications(staleDeliveredNotifications(*notes, privacy, delivered, calendar));
    });

    if (diff.toAdd.empty()) {
        QTimer::singleShot(0, this, [this, authorization] { finish(false, authorization); });
        return;
    }
    struct Adds {
        std::size_t outstanding = 0;
        bool failed = false;
    };
    auto adds = std::make_shared<Adds>(Adds{diff.toAdd.size(), false});
    const QPointer<ReminderCoordinator> self(this);
    for (const ReminderPlan& plan : diff.toAdd) {
        m_center.add(plan.request(), [self, adds, authorization](std::optional<QString> error) {
            if (error)
                adds->failed = true;
            if (--adds->outstanding == 0 && self)
                self->finish(adds->failed, authorization);
        });
    }
}

void ReminderCoordinator::finish(bool failed, AuthorizationStatus authorization)
{
    const bool authorized = authorization == AuthorizationStatus::authorized;
    const bool undetermined = authorization == AuthorizationStatus::notDetermined;
    if (failed)
        m_schedulingError = failedError;
    else if (!authorized && !undetermined)
        m_schedulingError = unauthorizedError;
    else
        m_schedulingError.reset();
    m_deliveryUndetermined = undetermined;
    if (authorized)
        m_noticeGiven = false; // a later outage is told again
    const QString status = failed         ? failedStatus
        : authorized                      ? scheduledStatus
        : undetermined                    ? undeterminedStatus
                                          : unauthorizedStatus;
    if (status != m_status) {
        m_status = status;
        Q_EMIT statusChanged(m_status);
    }
    m_running = false;
    if (m_dirty) {
        startPass();
        return;
    }
    std::vector<std::function<void()>> completions;
    completions.swap(m_completions);
    for (std::function<void()>& completion : completions)
        completion();
}

// --- permission

void ReminderCoordinator::authorize(std::function<void(bool)> completion)
{
    NotificationCenter* center = &m_center;
    m_center.getSettings([center, completion = std::move(completion)](NotificationSettings settings) {
        if (settings.allowsDelivery()) {
            completion(true);
        } else if (settings.authorizationStatus == AuthorizationStatus::notDetermined) {
            center->requestAuthorization([center, completion](bool granted, std::optional<QString>) {
                if (granted) {
                    completion(true);
                    return;
                }
                // Refused, or still nobody there to decide.
                center->getSettings([completion](NotificationSettings after) {
                    completion(after.authorizationStatus == AuthorizationStatus::notDetermined);
                });
            });
        } else {
            completion(false);
        }
    });
}

std::optional<QString> ReminderCoordinator::takeDeliveryNotice()
{
    if (!m_deliveryUndetermined || m_noticeGiven)
        return std::nullopt;
    m_noticeGiven = true;
    return undeterminedNotice;
}

ReminderCallbacks reminderPanelCallbacks(const QPointer<ReminderCoordinator>& reminders)
{
    ReminderCallbacks callbacks;
    callbacks.authorize = [reminders](std::function<void(bool)> completion) {
        if (!reminders) {
            completion(false);
            return;
        }
        reminders->authorize(std::move(completion));
    };
    callbacks.synchronize = [reminders](std::function<void(std::optional<QString>)> completion) {
        if (!reminders) {
            completion(std::nullopt);
            return;
        }
        reminders->flush([reminders, completion = std::move(completion)] {
            completion(reminders ? reminders->schedulingError() : std::nullopt);
        });
    };
    callbacks.deliveryNotice = [reminders]() -> std::optional<QString> {
        return reminders ? reminders->takeDeliveryNotice() : std::nullopt;
    };
    return callbacks;
}

// --- answers

void ReminderCoordinator::respond(const NotificationResponse& response)
{
    const QVariantMap& userInfo = response.notification.request.content.userInfo;
    const std::optional<QUuid> noteID = uuidValue(userInfo.value(reminderNotification::noteIDKey));
    const std::optional<QUuid> blockID = uuidValue(userInfo.value(reminderNotification::blockIDKey));
    if (!noteID || !blockID || !m_store)
        return;
    const std::optional<Note> note = m_store->note(*noteID);
    if (!note || note->deletedAt)
        return;
    const bool blockShown = std::any_of(note->blocks.begin(), note->blocks.end(), [&](const Block& block) {
        return block.id == *blockID && !block.isArchived();
    });
    if (!blockShown)
        return;

    const QString& action = response.actionIdentifier;
    if (action == snooze10 || action == snooze60) {
        const auto first = std::find_if(note->blocks.begin(), note->blocks.end(),
                                        [&](const Block& block) { return block.id == *blockID; });
        if (first->kind != BlockKind::Todo || !first->todo || first->todo->isCompleted || !first->todo->reminder)
            return;
        snooze(*noteID, *blockID, action == snooze10 ? 600 : 3600);
    } else if (action != NotificationActionID::open) {
        return;
    }
    if (open)
        open(*noteID, *blockID);
}

// The snoozed reminder becomes absolute: the answer moves it away from any wall-clock time.
void ReminderCoordinator::snooze(const QUuid& noteID, const QUuid& blockID, double seconds)
{
    const Date now = m_clock();
    std::optional<Note> note = m_store->note(noteID);
    if (!note)
        return;
    const auto block = std::find_if(note->blocks.begin(), note->blocks.end(),
                                    [&](const Block& b) { return b.id == blockID; });
    if (block == note->blocks.end() || !block->todo || !block->todo->reminder)
        return;
    TodoReminder& reminder = *block->todo->reminder;
    reminder = TodoReminder{now.addingSeconds(seconds), reminder.repetition, std::nullopt};
    m_store->update(*note, true, true);
}

} // namespace quorrin
