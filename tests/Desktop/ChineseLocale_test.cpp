#include "Desktop/DesktopTest.h"

#include <QRegularExpression>

namespace quorrin::desktop {
namespace {

// A desktop whose locale is not Chinese.
class ChineseLocale : public DesktopTest {
protected:
    void prepare(QuorrinApp& app) override
    {
        app.setEnvironment(QStringLiteral("LANG"), QStringLiteral("C"));
        app.setEnvironment(QStringLiteral("LC_ALL"), QString());
        app.setEnvironment(QStringLiteral("LC_TIME"), QStringLiteral("en_US.UTF-8"));
        app.setEnvironment(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
    }
};

// The reminder panel's date reads in Chinese: its text, copied out of the
// picker and pasted into the note, is stored as the user saw it.
TEST_F(ChineseLocale, TheReminderPanelShowsAChineseDateWhateverLangSays)
{
    const WindowId note = firstNoteWindow();
    const QUuid id = app().noteOf(note);
    clickIntoText(note);
    typeAndWaitStored(id, QStringLiteral("交房租"));
    ASSERT_TRUE(input().key(QStringLiteral("ctrl+shift+t")));
    ASSERT_TRUE(waitForStored(id, [](const Note& stored) { return stored.displayBlocks().front().todo.has_value(); }));
    WindowId panel = 0;
    ASSERT_NO_FATAL_FAILURE(openReminderPanel(panel));
    ASSERT_TRUE(input().key({QStringLiteral("ctrl+a"), QStringLiteral("ctrl+c"), QStringLiteral("Escape")}));
    ASSERT_TRUE(waitForGone(panel));
    ASSERT_TRUE(waitForActive(note)) << "active: " << describe(x().activeWindow()).toStdString();
    ASSERT_TRUE(input().key({QStringLiteral("End"), QStringLiteral("Return"), QStringLiteral("ctrl+v")}));

    // zh_CN's short date: year/month/day.
    const QRegularExpression chineseDate(QStringLiteral("^\\d{4}/\\d{1,2}/\\d{1,2} \\d{1,2}:\\d{2}$"));
    EXPECT_TRUE(waitForStored(id, [&](const Note& stored) {
        const QStringList lines = blockTexts(stored);
        return lines.size() == 2 && chineseDate.match(lines[1]).hasMatch();
    })) << "stored: " << blockTexts(*stored(id)).join(u'|').toStdString();
}

} // namespace
} // namespace quorrin::desktop
