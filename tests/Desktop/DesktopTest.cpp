#include "Desktop/DesktopTest.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace quorrin::desktop {

using namespace std::chrono_literals;

void DesktopTest::SetUp()
{
    const std::optional<WindowManager> manager = WindowManager::chosen();
    ASSERT_TRUE(manager) << "QUORRIN_DESKTOP_WM names no window manager the tests know: "
                         << WindowManager::chosenName().toStdString();
    QString why;
    bool notInstalled = false;
    m_session = DesktopSession::start(*manager, why, notInstalled);
    if (!m_session) {
        if (notInstalled)
            GTEST_SKIP() << "No desktop for the desktop tests: " << why.toStdString();
        FAIL() << "The desktop session under " << manager->name.toStdString()
               << " did not start: " << why.toStdString();
    }
    m_input = std::make_unique<XInput>(m_session->environment(), m_session->x());
    m_app = std::make_unique<QuorrinApp>(*m_session, m_session->directory() + QStringLiteral("/data"));
    prepare(*m_app);
    ASSERT_TRUE(m_app->start()) << "quorrin did not start (" << QuorrinApp::binary().toStdString() << ")";
    ASSERT_NE(firstNoteWindow(), 0u) << "quorrin showed no note window";
}

bool DesktopTest::startTray()
{
    const QString trayer = QStandardPaths::findExecutable(QStringLiteral("trayer"));
    return !trayer.isEmpty()
        && m_tray.start(trayer,
                        {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                         QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                         QStringLiteral("--height"), QStringLiteral("28"), QStringLiteral("--SetDockType"),
                         QStringLiteral("true")},
                        session().environment(), session().directory() + QStringLiteral("/trayer.log"),
                        session().directory() + QStringLiteral("/trayer.err"));
}

void DesktopTest::TearDown()
{
    if (!m_session)
        return;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // Each window manager's failures in a folder of their own.
    const QString directory =
        qEnvironmentVariable("QUORRIN_DESKTOP_ARTIFACTS", QStringLiteral(QUORRIN_DESKTOP_ARTIFACTS_DIR)) + QLatin1Char('/')
        + windowManager().name;
    const QString name = QString(QString::fromLatin1(info->test_suite_name()) + QLatin1Char('.')
                                 + QString::fromLatin1(info->name()))
                             .replace(u'/', u'_');
    // What an earlier failing run of this case left goes.
    const QDir artifacts(directory);
    for (const QString& old : artifacts.entryList({name + QStringLiteral(".*")}, QDir::Files))
        QFile::remove(artifacts.filePath(old));
    if (HasFailure()) {
        QDir().mkpath(directory);
        const QString shot = directory + QLatin1Char('/') + name + QStringLiteral(".png");
        m_session->screenshot(shot);
        // The programs' own words next to the picture.
        const QDir logs(m_session->directory());
        for (const QString& log : logs.entryList({QStringLiteral("*.log"), QStringLiteral("*.err")}, QDir::Files)) {
            const QString target = directory + QLatin1Char('/') + name + QLatin1Char('.') + log;
            QFile::remove(target);
            QFile::copy(logs.filePath(log), target);
        }
        for (const QString& file : {QStringLiteral("Notes.sqlite"), QStringLiteral("Preferences.json")}) {
            const QString target = directory + QLatin1Char('/') + name + QLatin1Char('.') + file;
            QFile::remove(target);
            QFile::copy(m_app->dataDirectory() + QLatin1Char('/') + file, target);
        }
        std::cerr << "Screenshot and logs of the failing case: " << shot.toStdString() << std::endl;
    }
    m_foreignProcess.stop();
    m_app.reset();
    m_input.reset();
    m_session.reset();
}

std::string DesktopTest::cannotHoldOn(std::initializer_list<const char*> managers, const char* reason) const
{
    const QString running = WindowManager::chosenName();
    for (const char* manager : managers) {
        if (running == QLatin1String(manager))
            return "Under " + running.toStdString() + ": " + reason;
    }
    return {};
}

std::string DesktopTest::clickActivationUnseen() const
{
    return cannotHoldOn({"mutter-wayland", "kwin-wayland"},
                        "X input stays inside XWayland, so the compositor never sees the click that puts another "
                        "window in use");
}

bool DesktopTest::relaunch()
{
    if (m_app->running())
        return false;
    return m_app->start() && firstNoteWindow() != 0;
}

WindowId DesktopTest::openForeignWindow()
{
    // Bottom right, clear of the notes, which open towards the top left.
    if (!m_foreignProcess.start(QStringLiteral("xmessage"),
                                {QStringLiteral("-geometry"), QStringLiteral("+1500+850"),
                                 QStringLiteral("another application")},
                                m_session->environment(), {}, m_session->directory() + QStringLiteral("/xmessage.err")))
        return 0;
    waitFor([&] {
        for (WindowId window : x().clients()) {
            if (x().name(window) == QStringLiteral("xmessage") && x().viewable(window)) {
                m_foreign = window;
                return true;
            }
        }
        return false;
    });
    // Its message, not its button, which would close it.
    if (!m_foreign || !input().click(restingGeometry(m_foreign).topLeft() + QPoint(12, 10)) || !waitForActive(m_foreign))
        return 0;
    return m_foreign;
}

std::vector<WindowId> DesktopTest::noteWindowIds()
{
    std::vector<WindowId> ids;
    for (const auto& window : m_app->noteWindows())
        ids.push_back(window.window);
    return ids;
}

WindowId DesktopTest::firstNoteWindow()
{
    WindowId found = 0;
    waitFor([&] {
        const auto notes = m_app->noteWindows();
        if (notes.empty())
            return false;
        found = notes.front().window;
        return true;
    }, 20s);
    return found;
}

WindowId DesktopTest::waitForNewNoteWindow(const std::vector<WindowId>& known)
{
    WindowId found = 0;
    waitFor([&] {
        for (WindowId window : noteWindowIds()) {
            if (std::find(known.begin(), known.end(), window) == known.end()) {
                found = window;
                return true;
            }
        }
        return false;
    });
    return found;
}

WindowId DesktopTest::waitForWindowNamed(const QString& name)
{
    WindowId found = 0;
    waitFor([&] {
        for (WindowId window : m_app->windows()) {
            if (x().name(window) == name && x().viewable(window)) {
                found = window;
                return true;
            }
        }
        return false;
    });
    return found;
}

bool DesktopTest::waitForGone(WindowId window)
{
    return waitFor([&] {
        const std::vector<WindowId> ours = m_app->windows();
        return std::find(ours.begin(), ours.end(), window) == ours.end() || !x().viewable(window);
    });
}

WindowId DesktopTest::waitForOtherWindow(const std::vector<WindowId>& known)
{
    WindowId found = 0;
    waitFor([&] {
        const std::vector<WindowId> notes = noteWindowIds();
        for (WindowId window : m_app->windows()) {
            // The format bar comes and goes with the caret on a timer of its
            // own: a loaded machine can show it just as another window opens.
            if (std::find(known.begin(), known.end(), window) == known.end()
                && std::find(notes.begin(), notes.end(), window) == notes.end() && x().viewable(window)
                && x().name(window) != QStringLiteral("字体格式")) {
                found = window;
                return true;
            }
        }
        return false;
    });
    return found;
}

bool DesktopTest::waitForActive(WindowId window, std::chrono::milliseconds timeout)
{
    // Active as the window manager says, and holding the keyboard as the X
    // server says: some window managers announce the one before the other.
    return waitFor([&] { return x().activeWindow() == window && x().inputFocus() == window; }, timeout);
}

bool DesktopTest::staysActive(WindowId window, std::chrono::milliseconds period)
{
    // True when the condition breaks within the period: the window lost it.
    return !waitFor([&] { return x().activeWindow() != window; }, period);
}

QString DesktopTest::describe(WindowId window)
{
    if (window == 0)
        return QStringLiteral("no window");
    const QRect rect = geometry(window);
    return QStringLiteral("0x%1 \"%2\" role \"%3\" at %4,%5 %6x%7")
        .arg(window, 0, 16)
        .arg(x().name(window), x().role(window))
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

std::vector<WindowId> DesktopTest::ourStacking()
{
    const std::vector<WindowId> ours = m_app->windows();
    std::vector<WindowId> order;
    for (WindowId window : x().stacking()) {
        if (std::find(ours.begin(), ours.end(), window) != ours.end())
            order.push_back(window);
    }
    return order;
}

bool DesktopTest::isAbove(WindowId upper, WindowId lower)
{
    const std::vector<WindowId> order = x().stacking();
    const auto up = std::find(order.begin(), order.end(), upper);
    const auto low = std::find(order.begin(), order.end(), lower);
    return up != order.end() && low != order.end() && up > low;
}

QRect DesktopTest::geometry(WindowId window)
{
    return x().geometry(window).value_or(QRect());
}

QRect DesktopTest::restingGeometry(WindowId window)
{
    QRect previous = geometry(window);
    int unchanged = 0;
    waitFor([&] {
        const QRect now = geometry(window);
        unchanged = now == previous ? unchanged + 1 : 0;
        previous = now;
        return unchanged >= 5;
    }, 5s, 50ms);
    waitForSettled(previous);
    return geometry(window);
}

bool DesktopTest::waitForSettled(const QRect& rect, std::chrono::milliseconds timeout)
{
    QByteArray previous = x().pixels(rect);
    int unchanged = 0;
    return waitFor([&] {
        QByteArray now = x().pixels(rect);
        unchanged = !now.isEmpty() && now == previous ? unchanged + 1 : 0;
        previous = std::move(now);
        return unchanged >= 3;
    }, timeout, 100ms);
}

QPoint DesktopTest::firstLinePoint(WindowId note)
{
    const QRect rect = geometry(note);
    return rect.topLeft() + QPoint(rect.width() / 2, 75);
}

QPoint DesktopTest::headerPoint(WindowId note)
{
    const QRect rect = geometry(note);
    // The strip above the title, clear of the close button and the edges.
    return rect.topLeft() + QPoint(rect.width() / 2, 14);
}

void DesktopTest::dragByHeader(WindowId note, QPoint offset)
{
    const QPoint grip = headerPoint(note);
    const QPoint target = geometry(note).topLeft() + offset;
    ASSERT_TRUE(input().drag(grip, grip + offset));
    ASSERT_TRUE(waitFor([&] { return geometry(note).topLeft() == target; }))
        << "the note did not follow the drag: " << describe(note).toStdString();
}

WindowId DesktopTest::newNoteFromKeyboard()
{
    const std::vector<WindowId> before = noteWindowIds();
    if (!input().key(QStringLiteral("ctrl+n")))
        return 0;
    const WindowId note = waitForNewNoteWindow(before);
    return note && waitForActive(note) ? note : 0;
}

void DesktopTest::unfoldFormatBar(FormatBar& bar)
{
    ASSERT_TRUE(input().key(QStringLiteral("shift+Home")));
    // A bar shown before is the same window, shown again.
    if (!bar.window || !waitFor([&] { return x().viewable(bar.window); }))
        bar.window = waitForWindowNamed(QStringLiteral("字体格式"));
    ASSERT_NE(bar.window, 0u) << "a selection showed no format bar";
    // Pointing at the collapsed bar unfolds it.
    const QRect orb = restingGeometry(bar.window);
    ASSERT_TRUE(input().moveTo(orb.center()));
    ASSERT_TRUE(waitFor([&] { return geometry(bar.window).width() > 3 * orb.width(); })) << "the bar never unfolded";
    bar.unfolded = restingGeometry(bar.window);
}

void DesktopTest::openReminderPanel(WindowId& panel)
{
    ASSERT_TRUE(input().key(QStringLiteral("Menu")));
    const WindowId menu = waitForWindowNamed(QStringLiteral("内容块"));
    ASSERT_TRUE(waitForActive(menu));
    ASSERT_TRUE(input().key(QStringLiteral("Return"))); // the first row of a todo: 设置提醒
    panel = waitForWindowNamed(QStringLiteral("待办提醒"));
    ASSERT_NE(panel, 0u) << "no reminder panel";
    ASSERT_TRUE(waitForActive(panel)) << "active: " << describe(x().activeWindow()).toStdString();
}

void DesktopTest::makeDockedPair(DockedPair& pair)
{
    pair.target = firstNoteWindow();
    pair.targetId = m_app->noteOf(pair.target);
    clickIntoText(pair.target);
    typeAndWaitStored(pair.targetId, QStringLiteral("主"));
    pair.docked = newNoteFromKeyboard();
    ASSERT_NE(pair.docked, 0u) << "Ctrl+N showed no new, active note";
    pair.dockedId = m_app->noteOf(pair.docked);
    typeAndWaitStored(pair.dockedId, QStringLiteral("副"));

    const QRect target = geometry(pair.target);
    const QRect moving = geometry(pair.docked);
    const QPoint grip = headerPoint(pair.docked);
    ASSERT_TRUE(input().drag(grip, grip + QPoint(target.right() + 4 - moving.left(), target.top() - moving.top())));
    ASSERT_TRUE(waitForStored(pair.dockedId, [&](const Note& stored) {
        return stored.docking && stored.docking->targetID == pair.targetId;
    })) << "the second note never docked to the first";
    ASSERT_TRUE(waitFor([&] { return geometry(pair.docked).left() == geometry(pair.target).right() + 1; }))
        << "docked windows are not edge to edge: " << describe(pair.target).toStdString() << " / "
        << describe(pair.docked).toStdString();
}

void DesktopTest::makeNotes(const QStringList& texts, std::vector<WindowId>& windows)
{
    windows.clear();
    for (const QString& text : texts) {
        WindowId note = 0;
        if (windows.empty()) {
            note = firstNoteWindow();
            clickIntoText(note);
        } else {
            note = newNoteFromKeyboard();
            ASSERT_NE(note, 0u) << "Ctrl+N showed no new, active note";
        }
        typeAndWaitStored(m_app->noteOf(note), text);
        windows.push_back(note);
    }
}

void DesktopTest::quitAndRelaunch()
{
    ASSERT_TRUE(input().key(QStringLiteral("ctrl+q")));
    ASSERT_TRUE(m_app->waitForExit(15s)) << "Ctrl+Q did not end quorrin";
    ASSERT_TRUE(relaunch());
}

WindowId DesktopTest::openNoteMenu(WindowId note)
{
    const QRect rect = geometry(note);
    if (!input().click(rect.topLeft() + QPoint(rect.width() - 26, 36)))
        return 0;
    WindowId menu = 0;
    waitFor([&] {
        const std::vector<WindowId> popups = app().popups();
        menu = popups.empty() ? 0 : popups.back();
        return menu != 0;
    });
    // Shown and laid out: its size no longer changes.
    return menu && restingGeometry(menu).isValid() ? menu : 0;
}

bool DesktopTest::chooseMenuRow(int row)
{
    QStringList keys(row, QStringLiteral("Down"));
    keys << QStringLiteral("Return");
    return input().key(keys);
}

void DesktopTest::clickIntoText(WindowId note)
{
    ASSERT_TRUE(input().click(firstLinePoint(note)));
    ASSERT_TRUE(waitForActive(note)) << "active: " << describe(x().activeWindow()).toStdString();
}

bool DesktopTest::waitForStored(const QUuid& note, const std::function<bool(const Note&)>& condition,
                                std::chrono::milliseconds timeout)
{
    return waitFor([&] {
        const std::optional<Note> found = stored(note);
        return found && condition(*found);
    }, timeout, 50ms);
}

void DesktopTest::typeAndWaitStored(const QUuid& note, const QString& text)
{
    ASSERT_TRUE(input().type(text));
    ASSERT_TRUE(waitForStored(note, [&](const Note& stored) { return blockTexts(stored).join(u'\n').contains(text); }))
        << "the store never held \"" << text.toStdString() << "\"; it holds: "
        << (stored(note) ? blockTexts(*stored(note)).join(u'|').toStdString() : std::string("no row"));
}

QRect DesktopTest::storedRect(const QUuid& note)
{
    const std::optional<Note> found = stored(note);
    if (!found)
        return {};
    const int screenHeight = x().screenSize().height();
    const WindowFrame& frame = found->frame;
    return QRect(qRound(frame.x), qRound(screenHeight - frame.y - frame.height), qRound(frame.width),
                 qRound(frame.height));
}

void DesktopTest::expectStaysAt(WindowId window, QPoint expected, std::chrono::milliseconds period)
{
    QPoint strayed;
    const bool moved = waitFor([&] {
        strayed = geometry(window).topLeft();
        return strayed != expected;
    }, period, 20ms);
    EXPECT_FALSE(moved) << "the window went to " << strayed.x() << "," << strayed.y() << " instead of staying at "
                        << expected.x() << "," << expected.y();
}

QJsonObject DesktopTest::storedPreferences()
{
    QFile file(m_app->dataDirectory() + QStringLiteral("/Preferences.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

bool DesktopTest::aboveEveryNote(WindowId window)
{
    for (WindowId note : noteWindowIds()) {
        if (!isAbove(window, note))
            return false;
    }
    return true;
}

std::vector<SentNotification> DesktopTest::notifications()
{
    // dbus-monitor prints each Notify call as a header line followed by its
    // arguments: app name, replaced id, icon, summary, body, actions, hints.
    // A string argument may span lines.
    std::vector<SentNotification> sent;
    const QString log = m_session->busLog();
    static const QRegularExpression call(QStringLiteral("^method call .*member=Notify$"),
                                         QRegularExpression::MultilineOption);
    static const QRegularExpression nextMessage(QStringLiteral("^(method call|method return|signal|error) "),
                                                QRegularExpression::MultilineOption);
    static const QRegularExpression stringArgument(QStringLiteral("^   string \"(.*?)\"$"),
                                                   QRegularExpression::MultilineOption
                                                       | QRegularExpression::DotMatchesEverythingOption);
    for (auto calls = call.globalMatch(log); calls.hasNext();) {
        const auto header = calls.next();
        const qsizetype begin = header.capturedEnd();
        const auto following = nextMessage.match(log, begin);
        const QString arguments = log.mid(begin, following.hasMatch() ? following.capturedStart() - begin : -1);
        QStringList strings;
        for (auto found = stringArgument.globalMatch(arguments); found.hasNext();)
            strings << found.next().captured(1);
        if (strings.size() >= 4)
            sent.push_back({strings[2], strings[3]});
    }
    return sent;
}

void FirstNoteTest::SetUp()
{
    DesktopTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    m_note = firstNoteWindow();
    m_id = app().noteOf(m_note);
    clickIntoText(m_note);
}

} // namespace quorrin::desktop
