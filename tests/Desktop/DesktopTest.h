#pragma once

#include "Desktop/DesktopSession.h"
#include "Desktop/ManagedProcess.h"
#include "Desktop/QuorrinApp.h"
#include "Desktop/StoredNotes.h"
#include "Desktop/Wait.h"
#include "Desktop/XInput.h"

#include <gtest/gtest.h>

#include <QJsonObject>
#include <QRect>
#include <QStringList>

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorrin::desktop {

// One notification as it crossed the bus.
struct SentNotification {
    QString summary;
    QString body;
};

// Each case gets a desktop of its own and a freshly started quorrin with an
// empty data directory; SetUp waits for its first note window. A failing case
// leaves a screenshot and the programs' logs in the build tree.
class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    DesktopSession& session() { return *m_session; }
    XDisplay& x() { return m_session->x(); }
    XInput& input() { return *m_input; }
    QuorrinApp& app() { return *m_app; }

    // Called before quorrin starts, e.g. to set its environment.
    virtual void prepare(QuorrinApp&) {}

    // The window manager of this run.
    const WindowManager& windowManager() const { return m_session->windowManager(); }
    // A case that cannot hold under some window managers says so by name:
    //   if (const std::string why = cannotHoldOn({"kwin-wayland"}, "..."); !why.empty())
    //       GTEST_SKIP() << why;
    // The reason given when this run's window manager is among `managers`,
    // else nothing.
    std::string cannotHoldOn(std::initializer_list<const char*> managers, const char* reason) const;
    // Under the Wayland compositors X input stays inside XWayland: the
    // compositor, which hands a window the keyboard, never sees a click. The
    // reason a case that clicks another window into use cannot hold there.
    std::string clickActivationUnseen() const;

    // Starts quorrin again on the same data directory after it ended.
    bool relaunch();
    // Starts a system tray (trayer) on the session's screen, which ends with
    // the case; false when it did not start.
    bool startTray();
    void stopTray() { m_tray.stop(); }

    // Another application's window (xmessage) away from the notes, clicked
    // so that it holds the focus, as on any desktop in use. Window managers
    // hand it the focus of a window that closes.
    WindowId openForeignWindow();
    WindowId foreignWindow() const { return m_foreign; }

    // The first note window; with several, the one shown first.
    WindowId firstNoteWindow();
    // Waits for a note window that is not among `known`.
    WindowId waitForNewNoteWindow(const std::vector<WindowId>& known);
    // Waits until one of our windows other than the notes (and the format
    // bar, which follows the caret) is shown, and returns it.
    WindowId waitForOtherWindow(const std::vector<WindowId>& known);
    std::vector<WindowId> noteWindowIds();
    // Waits for a shown window of ours with this title ("内容块", "字体格式",
    // "待办提醒", "Quorrin — 设置", ...).
    WindowId waitForWindowNamed(const QString& name);
    // Waits until the window is unmapped or destroyed.
    bool waitForGone(WindowId window);

    // Activation and focus as the window manager and the server report them:
    // waitForActive waits for both.
    bool waitForActive(WindowId window, std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));
    // Stays true over the whole period (a state that must not change).
    bool staysActive(WindowId window, std::chrono::milliseconds period);
    QString describe(WindowId window);
    // Our windows in stacking order, bottom to top.
    std::vector<WindowId> ourStacking();
    // Whether `upper` is stacked above `lower`.
    bool isAbove(WindowId upper, WindowId lower);

    QRect geometry(WindowId window);
    // The window's geometry once it has stopped changing for a while (an
    // unfolding or sliding panel came to rest), and its pixels too.
    QRect restingGeometry(WindowId window);
    // Waits until the screen in the rectangle stops changing (an animation
    // ended): four samples a tenth of a second apart are the same.
    bool waitForSettled(const QRect& rect, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
    // A point in the note's first text line, in screen coordinates.
    QPoint firstLinePoint(WindowId note);
    // A point from which a drag moves the note (its strip above the title).
    QPoint headerPoint(WindowId note);
    // Drags the note by its header and waits until its window stands moved by
    // exactly `offset`.
    void dragByHeader(WindowId note, QPoint offset);

    // Ctrl+N: waits for the new note's window and for it to be active.
    WindowId newNoteFromKeyboard();
    // Selects the line before the caret (Shift+Home), waits for the format
    // bar and points at it until it has unfolded: its window and frame.
    struct FormatBar {
        WindowId window = 0;
        QRect unfolded;
    };
    void unfoldFormatBar(FormatBar& bar);
    // Opens the reminder panel of the todo at the caret from the keyboard
    // (the menu key, then the block menu's first row) and waits for it to be
    // active.
    void openReminderPanel(WindowId& panel);
    // Two notes holding text, the second docked on the first's right edge
    // (dragged there by its header strip).
    struct DockedPair {
        WindowId target = 0;
        WindowId docked = 0;
        QUuid targetId;
        QUuid dockedId;
    };
    void makeDockedPair(DockedPair& pair);

    // Notes holding these texts, made as a user makes them: the text goes
    // into the first note, each further one into a new note from Ctrl+N.
    // Their windows, in that order.
    void makeNotes(const QStringList& texts, std::vector<WindowId>& windows);
    // Ctrl+Q, then quorrin starts again.
    void quitAndRelaunch();
    // Opens the note's "⋯" menu and answers the menu's window once it is
    // laid out. Without a tray the status menu's commands follow the note's
    // own: "显示全部便笺" is the thirteenth row.
    WindowId openNoteMenu(WindowId note);
    // Chooses the menu's row (1 the first) with the arrow keys and Return.
    bool chooseMenuRow(int row);

    // Clicks into the note's text and waits for the note to be active.
    void clickIntoText(WindowId note);
    // Types text and waits until the store holds a block with the text.
    void typeAndWaitStored(const QUuid& note, const QString& text);
    // Waits until the stored note satisfies the condition.
    bool waitForStored(const QUuid& note, const std::function<bool(const Note&)>& condition,
                       std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));
    std::optional<Note> stored(const QUuid& note) { return storedNote(m_app->dataDirectory(), note); }
    // The stored frame of the note as a window rectangle (the store keeps
    // the lower-left corner, y upwards, on the primary screen).
    QRect storedRect(const QUuid& note);
    // Samples the window's place for a while: it must stay at `expected`.
    void expectStaysAt(WindowId window, QPoint expected, std::chrono::milliseconds period);

    std::vector<SentNotification> notifications();
    // Preferences.json as stored.
    QJsonObject storedPreferences();
    // Whether `window` is above every note window in the stacking order.
    bool aboveEveryNote(WindowId window);

private:
    std::unique_ptr<DesktopSession> m_session;
    std::unique_ptr<XInput> m_input;
    std::unique_ptr<QuorrinApp> m_app;
    ManagedProcess m_foreignProcess;
    WindowId m_foreign = 0;
    ManagedProcess m_tray;
};

// A case about the first note, with the caret in its text.
class FirstNoteTest : public DesktopTest {
protected:
    void SetUp() override;

    WindowId m_note = 0;
    QUuid m_id;
};

} // namespace quorrin::desktop
