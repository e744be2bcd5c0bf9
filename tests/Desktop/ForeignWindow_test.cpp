#include "Desktop/DesktopTest.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>

#include <algorithm>
#include <functional>

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

// Another application's window was in use before quorrin started, and the
// user then clicked into a note. Window managers hand the focus of a window
// that closes to that application, or to nobody: whatever of ours closes,
// the keyboard must be back in a note without a click.
class ForeignWindow : public FirstNoteTest {
protected:
    void prepare(QuorrinApp&) override { openForeignWindow(); }

    void SetUp() override
    {
        FirstNoteTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_NE(foreignWindow(), 0u) << "no foreign window";
        typeAndWaitStored(m_id, QStringLiteral("甲"));
        m_typed = QStringLiteral("甲");
    }

    // The note is active, stays so and takes what is typed next.
    void expectNoteTakesTyping(const QString& more)
    {
        ASSERT_TRUE(waitForActive(m_note)) << "active: " << describe(x().activeWindow()).toStdString();
        ASSERT_TRUE(staysActive(m_note, 1s)) << "then active: " << describe(x().activeWindow()).toStdString();
        ASSERT_TRUE(input().type(more));
        m_typed += more;
        EXPECT_TRUE(waitForStored(m_id, [&](const Note& note) { return blockTexts(note).join(u'\n') == m_typed; }))
            << "stored: " << (stored(m_id) ? blockTexts(*stored(m_id)).join(u'|').toStdString() : "nothing");
    }

    // Hands `text` over as another program's selection, as its service is
    // called, and finds the note made of it once stored.
    void handOver(const QString& text, WindowId& window, QUuid& id)
    {
        const std::vector<WindowId> known = noteWindowIds();
        QDBusConnection bus = QDBusConnection::connectToBus(
            session().environment().value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")), QStringLiteral("handing-over"));
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.quorrin.Quorrin"),
                                                           QStringLiteral("/TextService"),
                                                           QStringLiteral("org.quorrin.Quorrin.TextService"),
                                                           QStringLiteral("NewFromSelection"));
        call << text;
        ASSERT_EQ(bus.call(call, QDBus::Block, 60000).type(), QDBusMessage::ReplyMessage);
        window = waitForNewNoteWindow(known);
        ASSERT_NE(window, 0u) << "no note for the handed-over text";
        std::optional<QUuid> found;
        ASSERT_TRUE(waitFor([&] {
            for (const Note& note : storedNotes(app().dataDirectory())) {
                if (blockTexts(note) == QStringList{text})
                    found = note.id;
            }
            return found.has_value();
        }, 30s)) << "the handed-over text was never stored";
        id = *found;
    }

    QString m_typed;
};

TEST_F(ForeignWindow, ClosedPanelsGiveTheKeyboardBackToTheirNote)
{
    struct Case {
        const char* name;
        std::function<bool()> open;
        QString title;
        QString close;
    };
    const std::vector<Case> cases = {
        {"settings", [&] { return input().key(QStringLiteral("ctrl+comma")); }, QStringLiteral("Quorrin — 设置"),
         QStringLiteral("ctrl+w")},
        {"search", [&] { return input().key(QStringLiteral("ctrl+shift+f")); },
         QStringLiteral("Quorrin — 搜索全部便笺"), QStringLiteral("Escape")},
        // Without a tray the note's menu carries the status menu's rows; its
        // sixteenth: 最近删除…
        {"recently deleted", [&] { return openNoteMenu(m_note) && chooseMenuRow(16); },
         QStringLiteral("Quorrin — 最近删除"), QStringLiteral("Escape")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.open());
        const WindowId panel = waitForWindowNamed(c.title);
        ASSERT_NE(panel, 0u);
        ASSERT_TRUE(waitForActive(panel)) << "active: " << describe(x().activeWindow()).toStdString();
        ASSERT_TRUE(input().key(c.close));
        ASSERT_TRUE(waitForGone(panel));
        ASSERT_NO_FATAL_FAILURE(expectNoteTakesTyping(QStringLiteral("乙")));
    }
}

TEST_F(ForeignWindow, ClosingANoteGivesTheKeyboardToTheNoteActiveBeforeIt)
{
    struct Case {
        const char* name;
        std::function<bool(WindowId)> close;
    };
    const std::vector<Case> cases = {
        {"Ctrl+W", [&](WindowId) { return input().key(QStringLiteral("ctrl+w")); }},
        {"its close button", [&](WindowId note) { return input().click(geometry(note).topLeft() + QPoint(16, 12)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WindowId other = newNoteFromKeyboard();
        ASSERT_NE(other, 0u);
        typeAndWaitStored(app().noteOf(other), QStringLiteral("丙"));
        ASSERT_TRUE(c.close(other));
        ASSERT_TRUE(waitForGone(other));
        ASSERT_NO_FATAL_FAILURE(expectNoteTakesTyping(QStringLiteral("乙")));
    }
}

TEST_F(ForeignWindow, ModalDialogsGiveTheKeyboardBackToTheirNote)
{
    struct Case {
        const char* name;
        std::function<bool()> open;
    };
    const std::vector<Case> cases = {
        // ⋯ → 背景透明度 → 自定义…, the submenu's fifth row.
        {"custom opacity",
         [&] {
             return openNoteMenu(m_note)
                 && input().key({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
                                 QStringLiteral("Down"), QStringLiteral("Right")})
                 && waitFor([&] { return app().popups().size() == 2; })
                 && chooseMenuRow(4);
         }},
        {"delete confirmation", [&] { return openNoteMenu(m_note) && chooseMenuRow(10); }},
        {"insert", [&] { return openNoteMenu(m_note) && chooseMenuRow(6); }},
        {"export", [&] { return input().key(QStringLiteral("ctrl+e")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<WindowId> known = app().windows();
        ASSERT_TRUE(c.open());
        // The dialog: a new window of ours, active.
        WindowId dialog = 0;
        ASSERT_TRUE(waitFor([&] {
            dialog = x().activeWindow();
            const std::vector<WindowId> ours = app().windows();
            return std::find(known.begin(), known.end(), dialog) == known.end()
                && std::find(ours.begin(), ours.end(), dialog) != ours.end();
        })) << "no dialog; active: " << describe(x().activeWindow()).toStdString();
        ASSERT_TRUE(input().key(QStringLiteral("Escape")));
        ASSERT_TRUE(waitForGone(dialog));
        ASSERT_NO_FATAL_FAILURE(expectNoteTakesTyping(QStringLiteral("乙")));
    }
}


// A reminder asked for from a todo's block menu while another application is
// in use brings quorrin forward with the todo's note, never another window
// of it (the search panel left open): KWin sets a note's panel aside while
// another of our windows is active.
TEST_F(ForeignWindow, AReminderOpenedFromAnotherApplicationActivatesItsNoteOnly)
{
    if (const std::string why = clickActivationUnseen(); !why.empty())
        GTEST_SKIP() << why;
    ASSERT_TRUE(input().key(QStringLiteral("ctrl+shift+t")));
    ASSERT_TRUE(waitForStored(m_id, [](const Note& note) { return note.blocks.front().kind == BlockKind::Todo; }));
    // Out of the way of the search panel, which opens in the screen's middle.
    ASSERT_NO_FATAL_FAILURE(dragByHeader(m_note, QPoint(-700, -300)));
    ASSERT_TRUE(input().key(QStringLiteral("ctrl+shift+f")));
    const WindowId search = waitForWindowNamed(QStringLiteral("Quorrin — 搜索全部便笺"));
    ASSERT_TRUE(waitForActive(search));
    ASSERT_TRUE(input().click(geometry(foreignWindow()).topLeft() + QPoint(12, 10)));
    ASSERT_TRUE(waitForActive(foreignWindow())) << "active: " << describe(x().activeWindow()).toStdString();
    x().watchFocus(search);

    // The todo's handle opens its block menu without the focus; its first
    // row asks for the reminder.
    ASSERT_TRUE(input().click(geometry(m_note).topLeft() + QPoint(8, 77)));
    const WindowId menu = waitForWindowNamed(QStringLiteral("内容块"));
    ASSERT_NE(menu, 0u) << "the handle opened no block menu";
    const QRect rows = restingGeometry(menu);
    ASSERT_TRUE(input().click(rows.topLeft() + QPoint(rows.width() / 2, 8 + 14)));
    const WindowId reminder = waitForWindowNamed(QStringLiteral("待办提醒"));
    ASSERT_NE(reminder, 0u) << "no reminder panel";
    ASSERT_TRUE(waitForActive(reminder)) << "active: " << describe(x().activeWindow()).toStdString();
    EXPECT_TRUE(staysActive(reminder, 1s)) << "then active: " << describe(x().activeWindow()).toStdString();
    EXPECT_FALSE(x().focusEntered(search)) << "the search panel took the focus on the way";
}

// The panels stand above the notes while quorrin is in use, and among the
// other applications' windows once another application is.
TEST_F(ForeignWindow, PanelsStayAboveOtherApplicationsOnlyWhileQuorrinIsActive)
{
    if (const std::string why = clickActivationUnseen(); !why.empty())
        GTEST_SKIP() << why;
    ASSERT_TRUE(input().key(QStringLiteral("ctrl+comma")));
    const WindowId settings = waitForWindowNamed(QStringLiteral("Quorrin — 设置"));
    ASSERT_TRUE(waitForActive(settings));
    EXPECT_TRUE(waitFor([&] { return aboveEveryNote(settings) && isAbove(settings, foreignWindow()); }));

    ASSERT_TRUE(input().click(geometry(foreignWindow()).topLeft() + QPoint(12, 10)));
    ASSERT_TRUE(waitForActive(foreignWindow())) << "active: " << describe(x().activeWindow()).toStdString();
    EXPECT_TRUE(waitFor([&] { return isAbove(foreignWindow(), settings); }))
        << "the settings stayed above the application in use";

    // The user clicks back a moment later: mutter drops a click that follows
    // the one before it too closely.
    EXPECT_TRUE(staysActive(foreignWindow(), 500ms)) << "then active: " << describe(x().activeWindow()).toStdString();
    const QRect rect = geometry(settings);
    ASSERT_TRUE(input().click(rect.bottomLeft() + QPoint(rect.width() / 2, -6)));
    ASSERT_TRUE(waitForActive(settings));
    EXPECT_TRUE(waitFor([&] { return aboveEveryNote(settings) && isAbove(settings, foreignWindow()); }));
}

// A note handed over from another program holds its lines in one block until
// it is typed into. Going to another program without typing leaves it as it
// was stored; typing writes it back, line by line.
TEST_F(ForeignWindow, LeavingAHandedOverNoteUntouchedStoresNothingAndTypingWritesItBack)
{
    if (const std::string why = clickActivationUnseen(); !why.empty())
        GTEST_SKIP() << why;
    WindowId handedOver = 0;
    QUuid id;
    ASSERT_NO_FATAL_FAILURE(handOver(QStringLiteral("乙\n丙"), handedOver, id));
    ASSERT_TRUE(waitForActive(handedOver)) << "active: " << describe(x().activeWindow()).toStdString();

    ASSERT_TRUE(input().click(geometry(foreignWindow()).topLeft() + QPoint(12, 10)));
    ASSERT_TRUE(waitForActive(foreignWindow())) << "active: " << describe(x().activeWindow()).toStdString();
    EXPECT_FALSE(waitForStored(id, [](const Note& note) { return note.blocks.size() != 1; }, 1500ms))
        << "leaving it untouched wrote it back: " << blockTexts(*stored(id)).join(u'|').toStdString();

    // The user comes back by clicking below its lines, where a note made
    // before it and cascaded above it does not cover it; lines are made down
    // to the click.
    const QRect frame = geometry(handedOver);
    ASSERT_TRUE(input().click(frame.bottomLeft() + QPoint(frame.width() / 2, -14)));
    ASSERT_TRUE(waitForActive(handedOver)) << "active: " << describe(x().activeWindow()).toStdString();
    ASSERT_TRUE(input().type(QStringLiteral("丁")));
    EXPECT_TRUE(waitForStored(id, [](const Note& note) {
        const QStringList texts = blockTexts(note);
        return texts.size() >= 3 && texts.front() == QStringLiteral("乙") && texts[1] == QStringLiteral("丙")
            && texts.back() == QStringLiteral("丁");
    })) << "stored: " << blockTexts(*stored(id)).join(u'|').toStdString();
}

// A text long enough to be shown a part at a time: the user types into it
// and goes to another program before the last part is in. What was typed is
// written back with the whole text once it is shown, and the other program
// keeps the keyboard meanwhile.
TEST_F(ForeignWindow, LeavingALongHandedOverNoteAsItComesInKeepsWhatWasTyped)
{
    if (const std::string why = clickActivationUnseen(); !why.empty())
        GTEST_SKIP() << why;
    constexpr int lines = 200000; // some two dozen parts
    WindowId handedOver = 0;
    QUuid id;
    ASSERT_NO_FATAL_FAILURE(handOver(QStringList(lines, QStringLiteral("行")).join(u'\n'), handedOver, id));
    ASSERT_TRUE(waitForActive(handedOver)) << "active: " << describe(x().activeWindow()).toStdString();
    ASSERT_TRUE(input().type(QStringLiteral("丁")));
    ASSERT_TRUE(input().click(geometry(foreignWindow()).topLeft() + QPoint(12, 10)));
    ASSERT_TRUE(waitForActive(foreignWindow())) << "active: " << describe(x().activeWindow()).toStdString();
    EXPECT_TRUE(waitForStored(id, [](const Note& note) {
        const QString text = blockTexts(note).join(u'\n');
        return note.blocks.size() > 1 && text.count(QStringLiteral("丁")) == 1 && text.count(QStringLiteral("行")) == lines;
    }, 60s)) << "stored: " << blockTexts(*stored(id)).mid(0, 3).join(u'|').toStdString() << "…";
    EXPECT_TRUE(staysActive(foreignWindow(), 1s)) << "then active: " << describe(x().activeWindow()).toStdString();
}

// A document opened from another program, as a file manager opens it:
// its note comes up over that program and takes the keyboard.
TEST_F(ForeignWindow, ADocumentOpenedFromAnotherProgramComesUpInANoteThatTakesTheKeyboard)
{
    if (const std::string why = clickActivationUnseen(); !why.empty())
        GTEST_SKIP() << why;
    const QString document = session().directory() + QStringLiteral("/清单.txt");
    {
        QFile file(document);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("乙\n丙").toUtf8());
    }
    ASSERT_TRUE(input().click(geometry(foreignWindow()).topLeft() + QPoint(12, 10)));
    ASSERT_TRUE(waitForActive(foreignWindow())) << "active: " << describe(x().activeWindow()).toStdString();
    const std::vector<WindowId> known = noteWindowIds();

    EXPECT_EQ(app().launchAgain(30s, {document}), 0);
    const WindowId opened = waitForNewNoteWindow(known);
    ASSERT_NE(opened, 0u) << "no note for the document";
    ASSERT_TRUE(waitForActive(opened)) << "active: " << describe(x().activeWindow()).toStdString();
    ASSERT_TRUE(staysActive(opened, 1s)) << "then active: " << describe(x().activeWindow()).toStdString();
    ASSERT_TRUE(input().type(QStringLiteral("丁")));
    EXPECT_TRUE(waitFor([&] {
        for (const Note& note : storedNotes(app().dataDirectory())) {
            const QString text = blockTexts(note).join(u'\n');
            if (text.contains(QStringLiteral("乙")) && text.contains(QStringLiteral("丙")))
                return text.contains(QStringLiteral("丁"));
        }
        return false;
    }, 10s)) << "what was typed did not reach the document's note";
}

} // namespace
} // namespace quorrin::desktop
