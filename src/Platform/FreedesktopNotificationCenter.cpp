#include "Platform/FreedesktopNotificationCenter.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace quorrin {

namespace {

const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");
const QString interfaceName = QStringLiteral("org.freedesktop.Notifications");
const QString clickActionTitle = QStringLiteral("打开");

// Closing reasons of NotificationClosed.
constexpr uint closedByUser = 2;

// The monotonic timer stands still while the machine sleeps and knows nothing
// of clock or time-zone changes, so due times are checked at least this often.
constexpr qint64 longestWaitMs = 60'000;

QString escapedMarkup(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'&')
            escaped += QStringLiteral("&amp;");
        else if (c == u'<')
            escaped += QStringLiteral("&lt;");
        else if (c == u'>')
            escaped += QStringLiteral("&gt;");
        else
            escaped += c;
    }
    return escaped;
}

} // namespace

const QString FreedesktopNotificationCenter::unavailableMessage = QStringLiteral("没有正在运行的桌面通知服务");

FreedesktopNotification FreedesktopNotification::make(const NotificationRequest& request,
                                                      const QList<NotificationCategory>& categories,
                                                      uint replacesId, ServerTraits server)
{
    const NotificationContent& content = request.content;
    FreedesktopNotification notification;
    notification.appName = QStringLiteral("Quorrin");
    notification.replacesId = replacesId;
    notification.summary = content.title;
    const QString body = content.subtitle.isEmpty() ? content.body : content.subtitle + u'\n' + content.body;
    notification.body = server.readsBodyMarkup ? escapedMarkup(body) : body;
    notification.actions = {QString(NotificationActionID::open), clickActionTitle};
    const auto category = std::find_if(categories.begin(), categories.end(), [&](const NotificationCategory& c) {
        return c.identifier == content.categoryIdentifier;
    });
    if (category != categories.end()) {
        for (const NotificationAction& action : category->actions)
            notification.actions << action.identifier << action.title;
    }
    if (content.sound)
        notification.hints.insert(QStringLiteral("sound-name"), QStringLiteral("message-new-instant"));
    else
        notification.hints.insert(QStringLiteral("suppress-sound"), true);
    // A reminder shown while nobody looks must still be there when they come back.
    notification.expireTimeout = 0;
    if (server.keepsNotifications)
        notification.hints.insert(QStringLiteral("resident"), true);
    return notification;
}

FreedesktopNotificationCenter::FreedesktopNotificationCenter(QObject* parent)
    : FreedesktopNotificationCenter(QDBusConnection::sessionBus(), Options{}, parent)
{
}

FreedesktopNotificationCenter::FreedesktopNotificationCenter(QDBusConnection bus, Options options, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_options(std::move(options))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &FreedesktopNotificationCenter::deliverDue);
    if (m_bus.isConnected()) {
        m_bus.connect(m_options.service, objectPath, interfaceName, QStringLiteral("ActionInvoked"), this,
                      SLOT(onActionInvoked(uint, QString)));
        m_bus.connect(m_options.service, objectPath, interfaceName, QStringLiteral("NotificationClosed"), this,
                      SLOT(onNotificationClosed(uint, uint)));
    }
}

FreedesktopNotificationCenter::~FreedesktopNotificationCenter()
{
    if (m_bus.isConnected()) {
        m_bus.disconnect(m_options.service, objectPath, interfaceName, QStringLiteral("ActionInvoked"), this,
                         SLOT(onActionInvoked(uint, QString)));
        m_bus.disconnect(m_options.service, objectPath, interfaceName, QStringLiteral("NotificationClosed"), this,
                         SLOT(onNotificationClosed(uint, uint)));
    }
}

QDBusMessage FreedesktopNotificationCenter::methodCall(const QString& method) const
{
    return QDBusMessage::createMethodCall(m_options.service, objectPath, interfaceName, method);
}

void FreedesktopNotificationCenter::post(std::function<void()> work)
{
    QTimer::singleShot(0, this, std::move(work));
}

// --- server availability

void FreedesktopNotificationCenter::probe(ProbeCompletion completion)
{
    m_probeWaiters.push_back(std::move(completion));
    if (m_probeWaiters.size() > 1)
        return;
    if (!m_bus.isConnected()) {
        post([this] { finishProbe(unavailableMessage); });
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(
        m_bus.asyncCall(methodCall(QStringLiteral("GetCapabilities")), m_options.callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QStringList> reply = *call;
        if (reply.isError()) {
            finishProbe(unavailableMessage);
            return;
        }
        const QStringList capabilities = reply.value();
        m_server.readsBodyMarkup = capabilities.contains(QStringLiteral("body-markup"));
        m_server.keepsNotifications = capabilities.contains(QStringLiteral("persistence"));
        finishProbe(std::nullopt);
    });
}

void FreedesktopNotificationCenter::finishProbe(std::optional<QString> error)
{
    std::vector<ProbeCompletion> waiters;
    waiters.swap(m_probeWaiters);
    for (ProbeCompletion& waiter : waiters)
        waiter(error);
}

void FreedesktopNotificationCenter::getSettings(SettingsCompletion completion)
{
    probe([completion = std::move(completion)](std::optional<QString> error) {
        if (error)
            completion(NotificationSettings{AuthorizationStatus::notDetermined, *error});
        else
            completion(NotificationSettings{AuthorizationStatus::authorized, {}});
    });
}

void FreedesktopNotificationCenter::requestAuthorization(AuthorizationCompletion completion)
{
    probe([completion = std::move(completion)](std::optional<QString> error) { completion(!error, error); });
}

void FreedesktopNotificationCenter::setCategories(QList<NotificationCategory> categories)
{
    m_categories = std::move(categories);
}

// --- pending requests

void FreedesktopNotificationCenter::add(NotificationRequest request, AddCompletion completion)
{
    // Pending requests live in this process: scheduling needs no server.
    m_schedule.add(std::move(request), m_options.clock(), m_options.systemTimeZone());
    reschedule();
    post([completion = std::move(completion)] { completion(std::nullopt); });
}

void FreedesktopNotificationCenter::getPendingRequests(PendingCompletion completion)
{
    post([this, completion = std::move(completion)] { completion(m_schedule.pending()); });
}

void FreedesktopNotificationCenter::removePendingRequests(const QStringList& identifiers)
{
    m_schedule.remove(identifiers);
    reschedule();
}

void FreedesktopNotificationCenter::reschedule()
{
    const std::optional<Date> next = m_schedule.nextFireDate(m_options.systemTimeZone());
    if (!next) {
        m_timer.stop();
        return;
    }
    const double waitMs = std::ceil((next->secondsSinceReferenceDate - m_options.clock().secondsSinceReferenceDate) * 1000.0);
    m_timer.start(int(std::clamp<double>(waitMs, 0, longestWaitMs)));
}

void FreedesktopNotificationCenter::deliverDue()
{
    const QList<NotificationRequest> due = m_schedule.takeDue(m_options.clock(), m_options.systemTimeZone());
    for (const NotificationRequest& request : due)
        show(request);
    reschedule();
}

// --- delivered notifications

void FreedesktopNotificationCenter::show(NotificationRequest request)
{
    // The server is asked first: it may have started (or changed) since the
    // request was added.
    probe([this, request = std::move(request)](std::optional<QString> error) mutable {
        if (!error)
            notify(std::move(request));
        // Without a server nothing is shown; the in-app alarm still rings.
    });
}

void FreedesktopNotificationCenter::notify(NotificationRequest request)
{
    const auto previous = std::find_if(m_shown.cbegin(), m_shown.cend(), [&](const Shown& shown) {
        return shown.notification.request.identifier == request.identifier;
    });
    const uint replacesId = previous == m_shown.cend() ? 0 : previous->serverId;
    const FreedesktopNotification notification =
        FreedesktopNotification::make(request, m_categories, replacesId, m_server);

    QDBusMessage call = methodCall(QStringLiteral("Notify"));
    call << notification.appName << notification.replacesId << notification.appIcon << notification.summary
         << notification.body << notification.actions << notification.hints << notification.expireTimeout;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, m_options.callTimeoutMs), this);
    const Date shownAt = m_options.clock();
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, request = std::move(request), shownAt](QDBusPendingCallWatcher* pending) {
                pending->deleteLater();
                const QDBusPendingReply<uint> reply = *pending;
                if (reply.isError())
                    return; // nothing was shown; the in-app alarm still rings
                m_shown.removeIf([&](const Shown& shown) {
                    return shown.notification.request.identifier == request.identifier
                        || shown.serverId == reply.value();
                });
                m_shown.append(Shown{reply.value(), DeliveredNotification{request, shownAt}});
            });
}

std::optional<FreedesktopNotificationCenter::Shown> FreedesktopNotificationCenter::takeShown(uint serverId)
{
    const auto found = std::find_if(m_shown.begin(), m_shown.end(),
                                    [&](const Shown& shown) { return shown.serverId == serverId; });
    if (found == m_shown.end())
        return std::nullopt;
    Shown shown = std::move(*found);
    m_shown.erase(found);
    return shown;
}

void FreedesktopNotificationCenter::getDeliveredNotifications(DeliveredCompletion completion)
{
    post([this, completion = std::move(completion)] {
        QList<DeliveredNotification> delivered;
        for (const Shown& shown : std::as_const(m_shown))
            delivered.append(shown.notification);
        completion(delivered);
    });
}

void FreedesktopNotificationCenter::removeDeliveredNotifications(const QStringList& identifiers)
{
    QList<Shown> kept;
    for (Shown& shown : m_shown) {
        if (!identifiers.contains(shown.notification.request.identifier)) {
            kept.append(std::move(shown));
            continue;
        }
        closeOnServer(shown.serverId);
    }
    m_shown = std::move(kept);
}

void FreedesktopNotificationCenter::closeOnServer(uint serverId)
{
    if (!m_bus.isConnected())
        return;
    QDBusMessage call = methodCall(QStringLiteral("CloseNotification"));
    call << serverId;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, m_options.callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher, &QObject::deleteLater);
}

// --- answers

void FreedesktopNotificationCenter::setResponseHandler(ResponseHandler handler)
{
    m_responseHandler = std::move(handler);
}

void FreedesktopNotificationCenter::onActionInvoked(uint id, const QString& actionKey)
{
    // Answering takes the notification off the list; the server's following
    // NotificationClosed then names an id that is no longer ours.
    std::optional<Shown> shown = takeShown(id);
    if (!shown || !m_responseHandler)
        return;
    // A reminder never expires, and a server that keeps notifications keeps
    // it after an action too: once the answer is handled, it leaves the
    // screen instead of waiting there for the reminder it was snoozed to.
    const QPointer<FreedesktopNotificationCenter> self(this);
    m_responseHandler(NotificationResponse{std::move(shown->notification), actionKey}, [self, id] {
        if (self)
            self->closeOnServer(id);
    });
}

void FreedesktopNotificationCenter::onNotificationClosed(uint id, uint reason)
{
    std::optional<Shown> shown = takeShown(id);
    if (!shown || reason != closedByUser || !m_responseHandler)
        return;
    m_responseHandler(NotificationResponse{std::move(shown->notification), QString(NotificationActionID::dismiss)},
                      [] {});
}

} // namespace quorrin
