#include "Platform/FileManager.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QUrl>

namespace quorrin {

namespace {

void openContainingFolder(const QString& path, OpenFailure failed)
{
    openWithDesktop(QUrl::fromLocalFile(QFileInfo(path).absolutePath()),
                    [path, failed = std::move(failed)](const QString&) {
                        if (failed)
                            failed(revealFailureMessage(path));
                    });
}

} // namespace

QString revealFailureMessage(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return QStringLiteral("无法在文件管理器中显示“%1”：没有能显示它的文件管理器。").arg(name.isEmpty() ? path : name);
}

void revealInFileManager(const QString& path, OpenFailure failed)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openContainingFolder(path, std::move(failed));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString()} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [path, failed = std::move(failed)](QDBusPendingCallWatcher* done) {
                         if (QDBusPendingReply<> reply = *done; reply.isError())
                             openContainingFolder(path, failed);
                         done->deleteLater();
                     });
}

} // namespace quorrin
