#include "Desktop/DesktopTest.h"

#include "Support/SilentSocket.h"

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

class SilentBus : public DesktopTest {
protected:
    void prepare(QuorrinApp& app) override
    {
        m_silent = std::make_unique<testing::SilentSocket>(
            QFile::encodeName(session().directory() + QStringLiteral("/silent-bus")), testing::SilentSocket::Naming::Path);
        const QString address = QString::fromUtf8(m_silent->address());
        app.setEnvironment(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        app.setEnvironment(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address);
    }

    std::unique_ptr<testing::SilentSocket> m_silent;
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
