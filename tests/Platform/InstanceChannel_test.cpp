#include "Platform/InstanceChannel.h"

#include "Support/ChildProcess.h"
#include "Support/UserFacingText.h"
#include "Support/Eventually.h"

#include <gtest/gtest.h>

#include <QDataStream>
#include <QTest>
#include <QDir>
#include <QFile>

#include <QLocalServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>

#include <cstring>
#include <future>
#include <map>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quorrin {
namespace {

QString uniqueName()
{
    return QStringLiteral("QuorrinTest-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

InstanceChannel::Delivery sendFromAnotherThread(const QString& name, const QStringList& arguments,
                                          InstanceChannel* channel = nullptr, bool succeeds = true)
{
    std::optional<QMetaObject::Connection> answering;
    if (channel) {
        answering = QObject::connect(channel, &InstanceChannel::received, channel,
                                     [channel, succeeds](const QStringList&, quint64 request) {
                                         channel->answer(request, succeeds);
                                     });
    }
    auto sent = std::async(std::launch::async, [&] { return InstanceChannel::send(name, arguments, 2000); });
    while (sent.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (answering)
        QObject::disconnect(*answering);
    return sent.get();
}

TEST(InstanceChannel, HandsArgumentsToTheListeningInstance)
{
    const struct {
        const char* label;
        QStringList arguments;
    } cases[] = {
        {"reopen", {}},
        {"files", {QStringLiteral("/tmp/a.txt"), QStringLiteral("/tmp/笔记 b.rtf")}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.label);
        InstanceChannel channel;
        const QString name = uniqueName();
        ASSERT_TRUE(channel.listen(name));
        QSignalSpy spy(&channel, &InstanceChannel::received);
        EXPECT_EQ(sendFromAnotherThread(name, testCase.arguments, &channel), InstanceChannel::Delivery::Opened);
        ASSERT_EQ(spy.count(), 1);
        EXPECT_EQ(spy.at(0).at(0).toStringList(), testCase.arguments);
    }
}

TEST(InstanceChannel, TheSenderLearnsThatOpeningFailed)
{
    InstanceChannel channel;
    const QString name = uniqueName();
    ASSERT_TRUE(channel.listen(name));
    EXPECT_EQ(sendFromAnotherThread(name, {QStringLiteral("/tmp/broken.rtf")}, &channel, false),
              InstanceChannel::Delivery::NotOpened);
}

TEST(InstanceChannel, TwoLaunchesAtOnceEachLearnTheOutcomeOfTheirOwnRequest)
{
    // Declared first, so the channel goes first and lets a sender that still waits return.
    std::future<InstanceChannel::Delivery> first;
    std::future<InstanceChannel::Delivery> second;
    InstanceChannel channel;
    const QString name = uniqueName();
    ASSERT_TRUE(channel.listen(name));
    std::map<QString, quint64> requests;
    QObject::connect(&channel, &InstanceChannel::received,
                     [&](const QStringList& arguments, quint64 request) { requests[arguments.value(0)] = request; });
    first = std::async(std::launch::async, [&] { return InstanceChannel::send(name, {QStringLiteral("a")}, 2000); });
    second = std::async(std::launch::async, [&] { return InstanceChannel::send(name, {QStringLiteral("b")}, 2000); });
    ASSERT_TRUE(testing::eventually([&] { return requests.size() == 2; }));

    channel.answer(requests[QStringLiteral("a")], false);
    channel.answer(requests[QStringLiteral("b")], true);
    const auto answered = [](std::future<InstanceChannel::Delivery>& sent) {
        return sent.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready;
    };
    ASSERT_TRUE(testing::eventually([&] { return answered(first) && answered(second); }));
    EXPECT_EQ(first.get(), InstanceChannel::Delivery::NotOpened);
    EXPECT_EQ(second.get(), InstanceChannel::Delivery::Opened);
}

TEST(InstanceChannel, SendingWithoutAListenerFails)
{
    EXPECT_EQ(InstanceChannel::send(uniqueName(), {}, 200), InstanceChannel::Delivery::NotTaken);
}

TEST(InstanceChannel, AnInstanceThatDoesNotTakeTheRequestInTimeIsBusyNotMissing)
{
    InstanceChannel channel;
    const QString name = uniqueName();
    ASSERT_TRUE(channel.listen(name));
    // Its event loop does not turn: the connection is made, the request never read.
    EXPECT_EQ(InstanceChannel::send(name, {QStringLiteral("/tmp/a.txt")}, 200), InstanceChannel::Delivery::Busy);
}

TEST(InstanceChannel, SocketIsPrivateToTheUser)
{
    InstanceChannel channel;
    const QString name = uniqueName();
    ASSERT_TRUE(channel.listen(name));
    QLocalServer probe;
    const QString path = channel.findChild<QLocalServer*>()->fullServerName();
    struct stat info {};
    ASSERT_EQ(::stat(path.toLocal8Bit().constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0077, 0u);
}

TEST(InstanceChannel, NameDependsOnTheDataDirectoryAndLivesInTheRuntimeDirectory)
{
    EXPECT_NE(InstanceChannel::serverName(QStringLiteral("/a")), InstanceChannel::serverName(QStringLiteral("/b")));
    EXPECT_EQ(InstanceChannel::serverName(QStringLiteral("/a")), InstanceChannel::serverName(QStringLiteral("/a")));

    QTemporaryDir runtime;
    ASSERT_TRUE(QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const QString name = InstanceChannel::serverName(QStringLiteral("/a"));
    qputenv("XDG_RUNTIME_DIR", saved);
    EXPECT_EQ(QFileInfo(name).absolutePath(), runtime.path());
}

mode_t modeOf(const QString& path)
{
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}

TEST(InstanceChannel, TheRuntimeDirectoryIsOnlyEverOneNobodyElseCanEnter)
{
    QTemporaryDir temporary;
    const QString ours = temporary.filePath(QStringLiteral("Quorrin-%1").arg(::getuid()));
    QTemporaryDir privateRuntime;
    ::chmod(QFile::encodeName(privateRuntime.path()).constData(), 0700);
    QTemporaryDir openRuntime;
    ::chmod(QFile::encodeName(openRuntime.path()).constData(), 0755);

    // $XDG_RUNTIME_DIR as it should be is taken as it is.
    EXPECT_EQ(InstanceChannel::privateRuntimeDirectory(privateRuntime.path(), temporary.path()),
              privateRuntime.path());
    EXPECT_FALSE(QFileInfo::exists(ours));
    // Unset, relative or open to others: a private directory of ours instead.
    for (const std::optional<QString>& runtime :
         {std::optional<QString>(), std::optional<QString>(QStringLiteral("relative")),
          std::optional<QString>(openRuntime.path())}) {
        EXPECT_EQ(InstanceChannel::privateRuntimeDirectory(runtime, temporary.path()), ours);
        EXPECT_EQ(modeOf(ours), 0700u);
    }
    // Ours but opened up meanwhile: closed again.
    ::chmod(QFile::encodeName(ours).constData(), 0777);
    EXPECT_EQ(InstanceChannel::privateRuntimeDirectory(std::nullopt, temporary.path()), ours);
    EXPECT_EQ(modeOf(ours), 0700u);

    // A link in its place, or a directory another user made first, is never used.
    ASSERT_TRUE(QDir(ours).removeRecursively());
    ASSERT_TRUE(QFile::link(privateRuntime.path(), ours));
    EXPECT_EQ(InstanceChannel::privateRuntimeDirectory(std::nullopt, temporary.path()), std::nullopt);
    ASSERT_TRUE(QFile::remove(ours));
    ASSERT_EQ(::mkdir(QFile::encodeName(ours).constData(), 0700), 0);
    if (::chown(QFile::encodeName(ours).constData(), 65534, 65534) == 0) {
        EXPECT_EQ(InstanceChannel::privateRuntimeDirectory(std::nullopt, temporary.path()), std::nullopt);
    }
}

TEST(InstanceChannel, ANameTakenByAnythingButAStaleSocketFailsTheListenWithAReason)
{
    QTemporaryDir directory;
    const QString name = directory.filePath(QStringLiteral("taken"));
    ASSERT_TRUE(QDir().mkpath(name + QStringLiteral("/inside")));
    InstanceChannel channel;
    QString error;
    EXPECT_FALSE(channel.listen(name, &error));
    EXPECT_TRUE(testing::readsAsChinese(error)) << error.toStdString();
    EXPECT_FALSE(channel.listen(directory.filePath(QStringLiteral("missing/channel")), &error));
    EXPECT_EQ(error, QStringLiteral("找不到所在的文件夹"));
    EXPECT_FALSE(channel.listen(QString(), &error));
    EXPECT_EQ(error, QStringLiteral("没有只属于当前用户的运行目录"));
}

TEST(InstanceChannel, RequestsLargerThanTheLimitAreNotSent)
{
    const qsizetype overhead = [] {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream << QStringList{QString()};
        return bytes.size();
    }();
    // One argument of n UTF-16 units is `overhead + 2n` bytes.
    const qsizetype fitting = (InstanceChannel::maximumRequestBytes - overhead) / 2;
    EXPECT_FALSE(InstanceChannel::isTooLarge({QString(fitting, u'x')}));
    EXPECT_TRUE(InstanceChannel::isTooLarge({QString(fitting + 1, u'x')}));

    InstanceChannel channel;
    const QString name = uniqueName();
    ASSERT_TRUE(channel.listen(name));
    QSignalSpy spy(&channel, &InstanceChannel::received);
    EXPECT_EQ(InstanceChannel::send(name, {QString(fitting + 1, u'x')}, 500), InstanceChannel::Delivery::NotTaken);
    EXPECT_EQ(spy.count(), 0);
}

// A process of another user (nobody): needs root to become one.
constexpr uid_t otherUser = 65534;
constexpr int cannotChangeUser = 77;

bool becomeOtherUser()
{
    return ::setgid(otherUser) == 0 && ::setuid(otherUser) == 0;
}

sockaddr_un addressOf(const QString& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(path);
    std::memcpy(address.sun_path, encoded.constData(), size_t(std::min<qsizetype>(encoded.size(), 100)));
    return address;
}

// Waits for `child` while the event loop runs.
int exitCodeWhileServing(testing::ChildProcess& child)
{
    if (!QTest::qWaitFor([&] { return child.hasEnded(); }, 10000))
        return -1;
    return child.exitCode();
}

TEST(InstanceChannel, ARequestFromAnotherUserIsNotTakenIn)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "only root can run a process as another user here";
    QTemporaryDir directory;
    ::chmod(QFile::encodeName(directory.path()).constData(), 0777);
    const QString name = directory.filePath(QStringLiteral("channel"));
    InstanceChannel channel;
    ASSERT_TRUE(channel.listen(name));
    ::chmod(QFile::encodeName(name).constData(), 0777); // as if the file's own protection failed
    QSignalSpy spy(&channel, &InstanceChannel::received);
    QByteArray request;
    {
        QDataStream stream(&request, QIODevice::WriteOnly);
        stream << QStringList{QStringLiteral("/tmp/x.txt")};
    }

    testing::ChildProcess intruder([&] {
        if (!becomeOtherUser())
            return cannotChangeUser;
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const sockaddr_un address = addressOf(name);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            return 3;
        if (::write(fd, request.constData(), size_t(request.size())) != request.size())
            return 0; // the channel already closed the connection
        pollfd answer{fd, POLLIN, 0};
        char reply[2] = {};
        if (::poll(&answer, 1, 2000) == 1 && ::read(fd, reply, 2) == 2 && reply[0] == 'o')
            return 1;
        return 0;
    });
    const int outcome = exitCodeWhileServing(intruder);
    if (outcome == cannotChangeUser)
        GTEST_SKIP() << "cannot run a process as another user here";
    EXPECT_EQ(outcome, 0) << "the channel answered another user";
    EXPECT_EQ(spy.count(), 0);
}

TEST(InstanceChannel, RequestsAreNeverHandedToAnotherUsersProcess)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "only root can run a process as another user here";
    QTemporaryDir directory;
    ::chmod(QFile::encodeName(directory.path()).constData(), 0777);
    const QString name = directory.filePath(QStringLiteral("taken-by-another-user"));

    // The other user's process took the name and answers like an instance.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    testing::ChildProcess impostor([&] {
        if (!becomeOtherUser())
            return cannotChangeUser;
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const sockaddr_un address = addressOf(name);
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 1) != 0)
            return 3;
        ::chmod(address.sun_path, 0777);
        (void)::write(ready[1], "r", 1);
        pollfd incoming{fd, POLLIN, 0};
        if (::poll(&incoming, 1, 3000) != 1)
            return 0;
        const int connection = ::accept(fd, nullptr, nullptr);
        char buffer[4096];
        (void)::read(connection, buffer, sizeof buffer);
        (void)::write(connection, "ok1", 3);
        ::close(connection);
        return 0;
    });
    char byte = 0;
    pollfd started{ready[0], POLLIN, 0};
    if (::poll(&started, 1, 3000) != 1 || ::read(ready[0], &byte, 1) != 1) {
        const int code = impostor.exitCode();
        ::close(ready[0]);
        ::close(ready[1]);
        if (code == cannotChangeUser)
            GTEST_SKIP() << "cannot run a process as another user here";
        FAIL() << "the other user's process did not start listening: " << code;
    }
    ::close(ready[0]);
    ::close(ready[1]);

    EXPECT_EQ(InstanceChannel::send(name, {QStringLiteral("/tmp/private.txt")}, 1000),
              InstanceChannel::Delivery::NotTaken);
    impostor.kill();
}

} // namespace
} // namespace quorrin
