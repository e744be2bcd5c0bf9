#include "Desktop/DesktopTest.h"

#include <QFile>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

// A bus address whose socket takes every connection and never says a word:
// it listens and never accepts, so the system completes the connections.
class SilentSocket {
public:
    explicit SilentSocket(const QString& path)
        : m_path(path)
        , m_fd(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        ::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
        m_listening = m_fd >= 0 && ::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0
            && ::listen(m_fd, 64) == 0;
    }
    ~SilentSocket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        QFile::remove(m_path);
    }
    bool isListening() const { return m_listening; }
    QString address() const { return QStringLiteral("unix:path=") + m_path; }

private:
    QString m_path;
    int m_fd;
    bool m_listening = false;
};

class SilentBus : public DesktopTest {
protected:
    void prepare(QuorrinApp& app) override
    {
        m_silent = std::make_unique<SilentSocket>(session().directory() + QStringLiteral("/silent-bus"));
        app.setEnvironment(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_silent->address());
        app.setEnvironment(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_silent->address());
    }

    std::unique_ptr<SilentSocket> m_silent;
};

TEST_F(SilentBus, NotesAppearWithoutTheBusAndTerminationSavesAndEnds)
{
    ASSERT_TRUE(m_silent->isListening());
    // SetUp waited for the first note window.
    const WindowId note = firstNoteWindow();
    const QUuid id = app().noteOf(note);
    clickIntoText(note);
    ASSERT_TRUE(input().type(QStringLiteral("typed without a bus")));

    EXPECT_TRUE(app().terminate()) << "SIGTERM did not end quorrin within ten seconds";
    const std::optional<Note> saved = stored(id);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(blockTexts(*saved), QStringList{QStringLiteral("typed without a bus")});
}

} // namespace
} // namespace quorrin::desktop
