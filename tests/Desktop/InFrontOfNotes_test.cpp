#include "Desktop/DesktopTest.h"

#include <QFile>

namespace quorrin::desktop {
namespace {

using namespace std::chrono_literals;

// The notes' two levels: on the desktop (the default) or floating above
// other windows (the header's layer button switches all notes).
enum class Level { Desktop, Floating };

std::string levelName(const ::testing::TestParamInfo<Level>& info)
{
    return info.param == Level::Desktop ? "Desktop" : "Floating";
}

// Windows the user must act on come in front of every note and take the
// focus; when one opened for a note closes, that note is active again and
// typing goes on into it.
class InFrontOfNotes : public DesktopTest, public ::testing::WithParamInterface<Level> {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        m_first = firstNoteWindow();
        m_firstId = app().noteOf(m_first);
        clickIntoText(m_first);
        typeAndWaitStored(m_firstId, QStringLiteral("第一张"));
        if (GetParam() == Level::Floating) {
            ASSERT_TRUE(input().click(geometry(m_first).topLeft() + QPoint(230, 37))); // the layer button
            ASSERT_TRUE(waitFor([&] { return storedPreferences().value(QStringLiteral("alwaysOnTop")).toBool(); }))
                << "the layer button did not make the notes float";
        }
        m_second = newNoteFromKeyboard();
        ASSERT_NE(m_second, 0u);
        m_secondId = app().noteOf(m_second);
        typeAndWaitStored(m_secondId, QStringLiteral("第二张"));
        // The second note goes aside, away from the first, which is the one
        // worked in.
        const QPoint grip = headerPoint(m_second);
        ASSERT_TRUE(input().drag(grip, grip + QPoint(420, 60)));
        ASSERT_TRUE(waitFor([&] { return !geometry(m_second).intersects(geometry(m_first)); }));
        clickIntoText(m_first);
        ASSERT_TRUE(input().key(QStringLiteral("End")));
    }

    // The window is shown, active and above every note.
    void expectInFront(WindowId window, const char* what)
    {
        ASSERT_NE(window, 0u) << what << " never showed";
        EXPECT_TRUE(waitForActive(window)) << what << " is not active; active: " << describe(x().activeWindow()).toStdString();
        EXPECT_TRUE(waitFor([&] { return aboveEveryNote(window); }))
            << what << " is under a note: " << describe(window).toStdString();
    }

    // After the window closed, the first note is active and typing reaches it.
    void expectFirstNoteTakesTyping(const QString& more, const QString& typedBefore = {})
    {
        ASSERT_TRUE(waitForActive(m_first)) << "active: " << describe(x().activeWindow()).toStdString();
        EXPECT_TRUE(staysActive(m_first, 300ms)) << "then active: " << describe(x().activeWindow()).toStdString();
        ASSERT_TRUE(input().type(more));
        const QString expected = QStringLiteral("第一张") + typedBefore + more;
        EXPECT_TRUE(waitForStored(m_firstId, [&](const Note& note) { return blockTexts(note).value(0) == expected; }))
            << "the first note holds " << (stored(m_firstId) ? blockTexts(*stored(m_firstId)).join(u'|').toStdString() : "");
    }

    // The note menu's "插入图片／PDF…": the header's last button, sixth row.
    WindowId openInsertDialog()
    {
        const std::vector<WindowId> known = app().windows();
        if (!input().click(geometry(m_first).topLeft() + QPoint(285, 37)))
            return 0;
        if (!waitFor([&] { return !app().popups().empty(); }))
            return 0;
        input().key({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
                     QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
        return waitForWindowNamed(QStringLiteral("选择图片或 PDF"));
    }

    // A small picture in the session's directory.
    QString makePicture()
    {
        const QString path = session().directory() + QStringLiteral("/red.png");
        runTool(QStringLiteral("convert"), {QStringLiteral("-size"), QStringLiteral("120x80"), QStringLiteral("xc:red"), path},
                session().environment());
        return path;
    }

    // Inserts a small picture into the first note through the insert dialog.
    void insertPicture()
    {
        const QString picture = makePicture();
        ASSERT_TRUE(QFile::exists(picture));
        const WindowId dialog = openInsertDialog();
        ASSERT_NE(dialog, 0u);
        ASSERT_TRUE(waitForActive(dialog));
        ASSERT_TRUE(input().type(picture));
        ASSERT_TRUE(input().key(QStringLiteral("Return")));
        ASSERT_TRUE(waitForGone(dialog));
        ASSERT_TRUE(waitForStored(m_firstId, [](const Note& note) {
            for (const Block& block : note.blocks) {
                if (block.attachment)
                    return true;
            }
            return false;
        })) << "the picture was never inserted";
        ASSERT_TRUE(waitForActive(m_first)) << "after the insert dialog: " << describe(x().activeWindow()).toStdString();
    }

    // The picture's block handle opens its menu; its last row previews.
    WindowId openPreview()
    {
        const QRect note = restingGeometry(m_first);
        if (!input().click(note.topLeft() + QPoint(8, 133)))
            return 0;
        const WindowId menu = waitForWindowNamed(QStringLiteral("内容块"));
        if (!menu)
            return 0;
        const QRect rows = restingGeometry(menu);
        if (!input().click(rows.bottomLeft() + QPoint(rows.width() / 2, -22)))
            return 0;
        return waitForWindowNamed(QStringLiteral("预览与标注 — red.png"));
    }

    WindowId m_first = 0;
    WindowId m_second = 0;
    QUuid m_firstId;
    QUuid m_secondId;
};

TEST_P(InFrontOfNotes, ExportDialogThenBackToItsNote)
{
    ASSERT_TRUE(input().key(QStringLiteral("ctrl+e")));
    const WindowId dialog = waitForOtherWindow({});
    expectInFront(dialog, "the export dialog");
    ASSERT_TRUE(input().key(QStringLiteral("Escape")));
    ASSERT_TRUE(waitForGone(dialog));
    expectFirstNoteTakesTyping(QStringLiteral("一"));
}

TEST_P(InFrontOfNotes, InsertDialogThenBackToItsNote)
{
    const WindowId dialog = openInsertDialog();
    expectInFront(dialog, "the insert dialog");
    ASSERT_TRUE(input().key(QStringLiteral("Escape")));
    ASSERT_TRUE(waitForGone(dialog));
    expectFirstNoteTakesTyping(QStringLiteral("二"));
}

TEST_P(InFrontOfNotes, SettingsInFrontWhenOpenedAndWhenClicked)
{
    ASSERT_TRUE(input().key(QStringLiteral("ctrl+comma")));
    const WindowId settings = waitForWindowNamed(QStringLiteral("Quorrin — 设置"));
    expectInFront(settings, "the settings");
    // A note clicked meanwhile may come over it; a click into the settings
    // brings them forward again. The note keeps the keyboard until then, and
    // the user's next click comes a moment later: mutter drops a click that
    // follows the one before it too closely.
    clickIntoText(m_second);
    EXPECT_TRUE(staysActive(m_second, 500ms)) << "then active: " << describe(x().activeWindow()).toStdString();
    const QRect rect = geometry(settings);
    ASSERT_TRUE(input().click(rect.bottomLeft() + QPoint(rect.width() / 2, -6)));
    expectInFront(settings, "the clicked settings");
}

TEST_P(InFrontOfNotes, DeleteConfirmationInFrontThenBackToItsNote)
{
    ASSERT_TRUE(input().click(geometry(m_first).topLeft() + QPoint(285, 37)));
    ASSERT_TRUE(waitFor([&] { return !app().popups().empty(); }));
    // The tenth row, the note's own last: 删除便笺… (on this desktop without
    // a tray the status menu's commands follow it).
    QStringList keys(10, QStringLiteral("Down"));
    keys << QStringLiteral("Return");
    ASSERT_TRUE(input().key(keys));
    const WindowId alert = waitForOtherWindow({});
    expectInFront(alert, "the confirmation");
    ASSERT_TRUE(input().key(QStringLiteral("Escape")));
    ASSERT_TRUE(waitForGone(alert));
    expectFirstNoteTakesTyping(QStringLiteral("三"));
}

TEST_P(InFrontOfNotes, PreviewInFrontAndItsSaveGivesTheNoteBack)
{
    if (const std::string why = cannotHoldOn({"kwin-wayland"},
                                             "the preview at times opens under a note: known fault, not yet fixed");
        !why.empty())
        GTEST_SKIP() << why;
    ASSERT_NO_FATAL_FAILURE(insertPicture());
    const WindowId preview = openPreview();
    expectInFront(preview, "the preview");

    // Its bar's second button saves the annotated copy and closes it.
    const QRect panel = restingGeometry(preview);
    ASSERT_TRUE(input().click(panel.topLeft() + QPoint(152, 24)));
    ASSERT_TRUE(waitForGone(preview)) << "saving did not close the preview";
    expectFirstNoteTakesTyping(QStringLiteral("四"));
}

// The preview closes from the keyboard as every window of ours does.
TEST_P(InFrontOfNotes, PreviewClosesWithEscapeAndCtrlWThenBackToItsNote)
{
    ASSERT_NO_FATAL_FAILURE(insertPicture());
    QString typed;
    for (const auto& [close, more] : {std::pair{"Escape", "五"}, std::pair{"ctrl+w", "六"}}) {
        SCOPED_TRACE(close);
        const WindowId preview = openPreview();
        ASSERT_NE(preview, 0u) << "no preview";
        ASSERT_TRUE(waitForActive(preview)) << "active: " << describe(x().activeWindow()).toStdString();
        ASSERT_TRUE(input().key(QString::fromLatin1(close)));
        ASSERT_TRUE(waitForGone(preview)) << close << " left the preview open";
        ASSERT_TRUE(input().key({QStringLiteral("ctrl+Home"), QStringLiteral("End")}));
        ASSERT_NO_FATAL_FAILURE(expectFirstNoteTakesTyping(QString::fromUtf8(more), typed));
        typed += QString::fromUtf8(more);
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, InFrontOfNotes, ::testing::Values(Level::Desktop, Level::Floating), levelName);

} // namespace
} // namespace quorrin::desktop
