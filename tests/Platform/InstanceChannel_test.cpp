#include "Platform/InstanceChannel.h"

#include <gtest/gtest.h>

#include <QLocalServer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>

#include <future>
#include <sys/stat.h>

namespace quorrin {
namespace {

QString uniqueName()
{
    return QStringLiteral("QuorrinTest-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

std::optional<bool> sendFromAnotherThread(const QString& name, const QStringList& arguments,
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
        EXPECT_EQ(sendFromAnotherThread(name, testCase.arguments, &channel), std::optional<bool>(true));
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
              std::optional<bool>(false));
}

TEST(InstanceChannel, SendingWithoutAListenerFails)
{
    EXPECT_EQ(InstanceChannel::send(uniqueName(), {}, 200), std::nullopt);
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

TEST(InstanceChannel, NameDependsOnTheDataDirectory)
{
    EXPECT_NE(InstanceChannel::serverName(QStringLiteral("/a")), InstanceChannel::serverName(QStringLiteral("/b")));
    EXPECT_EQ(InstanceChannel::serverName(QStringLiteral("/a")), InstanceChannel::serverName(QStringLiteral("/a")));
}

} // namespace
} // namespace quorrin
