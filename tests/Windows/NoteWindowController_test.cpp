#include "Windows/NoteWindowController.h"

#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Editor/ScrollOverflowHint.h"
#include "Persistence/StoreFixtures.h"
#include "Widgets/HandCursorButton.h"
#include "Windows/NoteBackground.h"
#include "Windows/NoteHeader.h"
#include "Windows/StickyPanel.h"
#include "Windows/TitleTextField.h"
#include "Windows/WindowGeometry.h"
#include "Support/RecordingNoteWindowHost.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QTextCursor>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QUndoStack>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

class NoteWindowControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = directory.open(false);
        store->setOnError([this](std::exception_ptr) { ++errors; });
    }

    Note addNote(Note note)
    {
        store->notes(); // keep the store's own order
        const Note created = store->create();
        note.id = created.id;
        store->update(note, true, false);
        return *store->note(note.id);
    }

    std::unique_ptr<NoteWindowController> open(const Note& note, QList<QRectF> screens = {QRectF(0, 0, 4000, 3000)})
    {
        NoteWindowController::Services services;
        services.screens = std::make_shared<FixedScreenProvider>(std::move(screens));
        services.prefersReducedMotion = [] { return true; };
        services.confirmDeletion = [this] { return confirmAnswer; };
        services.desktopComposites = [this] { return compositing; };
        return std::make_unique<NoteWindowController>(*store, note, std::move(services));
    }

    void breakSaving() const { directory.breakSaving(); }

    StoreDirectory directory;
    std::unique_ptr<NoteStore> store;
    int errors = 0;
    bool confirmAnswer = true;
    bool compositing = true;
};

Note emptyNote()
{
    return Note::create(fixedClock(700000000));
}

Note noteWithText(const QString& text)
{
    Note note = emptyNote();
    note.blocks.front().text = RichText(text, TextFont::system(14));
    return note;
}

} // namespace

TEST_F(NoteWindowControllerTest, TheNoteDrawsItsOwnEdgeOnlyWhereNoCompositorDrawsShadows)
{
    const Note note = addNote(noteWithText(QStringLiteral("a")));
    EXPECT_FALSE(open(note)->background()->drawsEdge());
    compositing = false;
    EXPECT_TRUE(open(note)->background()->drawsEdge());
}

TEST_F(NoteWindowControllerTest, TheOverflowBadgeStandsInTheBandAboveTheTextNotOverIt)
{
    Note note = emptyNote();
    note.frame = {100, 100, 300, 240};
    for (int i = 0; i < 40; ++i) {
        Block line = note.blocks.front();
        line.id = QUuid::createUuid();
        line.text = RichText(QStringLiteral("line %1").arg(i), TextFont::system(14));
        note.blocks.push_back(line);
    }
    const auto controller = open(addNote(note));
    controller->panel()->show();
    controller->editor()->textView()->verticalScrollBar()->setValue(150);
    const ScrollOverflowHint& hint = *controller->editor()->scrollHint();
    ASSERT_FALSE(hint.isHidden());
    const QWidget& background = *controller->background();
    const int editorTop = controller->editor()->mapTo(&background, QPoint(0, 0)).y();
    const int textTop = controller->editor()->textView()->viewport()->mapTo(&background, QPoint(0, 0)).y();
    EXPECT_GE(hint.geometry().top(), editorTop);
    EXPECT_LE(hint.geometry().bottom(), textTop);
    EXPECT_NEAR(hint.geometry().center().x(), background.rect().center().x(), 1);
}

TEST_F(NoteWindowControllerTest, ClosingAnEmptyNoteDiscardsItAndReportsTheDeletion)
{
    const Note note = addNote(emptyNote());
    auto controller = open(note);
    RecordingNoteWindowHost host;
    controller->setWorkspace(&host);
    std::vector<QUuid> deleted;
    controller->onDelete = [&](const QUuid& id) { deleted.push_back(id); };

    EXPECT_TRUE(controller->windowShouldClose());
    EXPECT_FALSE(store->note(note.id));
    EXPECT_EQ(deleted, std::vector<QUuid>{note.id});
    EXPECT_EQ(host.calls, (QStringList{QStringLiteral("finishMove"), QStringLiteral("detach"), QStringLiteral("sync")}));
    EXPECT_EQ(errors, 0);
}

TEST_F(NoteWindowControllerTest, ClosingKeepsANoteWithContentOrWithStagedFilesHidden)
{
    for (const bool staged : {false, true}) {
        SCOPED_TRACE(staged);
        const Note note = addNote(staged ? emptyNote() : noteWithText(QStringLiteral("keep me")));
        auto controller = open(note);
        if (staged)
            controller->holdsStagedFiles = [] { return true; };
        int deletions = 0;
        controller->onDelete = [&](const QUuid&) { ++deletions; };

        EXPECT_TRUE(controller->windowShouldClose());
        ASSERT_TRUE(store->note(note.id));
        EXPECT_TRUE(store->note(note.id)->isHidden);
        EXPECT_FALSE(store->note(note.id)->deletedAt);
        EXPECT_EQ(deletions, 0);
    }
}

TEST_F(NoteWindowControllerTest, ClosingDuringAResizeEndsItBeforeTheStoreIsTouched)
{
    const Note note = addNote(noteWithText(QStringLiteral("text")));
    auto controller = open(note);
    RecordingNoteWindowHost host;
    controller->setWorkspace(&host);
    controller->userIsResizing = true;

    EXPECT_TRUE(controller->windowShouldClose());
    EXPECT_FALSE(controller->userIsResizing);
    EXPECT_EQ(host.calls, (QStringList{QStringLiteral("cancelUserResize"), QStringLiteral("finishMove"),
                                       QStringLiteral("detach"), QStringLiteral("moved"), QStringLiteral("sync")}));
}

TEST_F(NoteWindowControllerTest, AStoreFailureOnCloseKeepsTheWindowAndReportsOnce)
{
    for (const bool empty : {true, false}) {
        SCOPED_TRACE(empty);
        SetUp();
        errors = 0;
        const Note note = addNote(empty ? emptyNote() : noteWithText(QStringLiteral("text")));
        auto controller = open(note);
        RecordingNoteWindowHost host;
        controller->setWorkspace(&host);
        controller->panel()->show();
        int deletions = 0;
        controller->onDelete = [&](const QUuid&) { ++deletions; };
        breakSaving();

        controller->performClose();
        EXPECT_TRUE(controller->panel()->isVisible());
        EXPECT_EQ(errors, 1);
        EXPECT_TRUE(store->lastError());
        ASSERT_TRUE(store->note(note.id));
        EXPECT_FALSE(store->note(note.id)->isHidden);
        EXPECT_EQ(deletions, 0);
        EXPECT_EQ(host.calls.last(), QStringLiteral("sync")); // the links are put back
        directory.repairSaving();
    }
}

TEST_F(NoteWindowControllerTest, RefreshesOnlyForItsOwnNoteOrForEveryNote)
{
    const Note note = addNote(emptyNote());
    const Note other = addNote(emptyNote());
    auto controller = open(note);
    const auto paper = [&] { return controller->background()->color(); };
    EXPECT_EQ(paper(), noteColor::color(NoteColor::Cream));

    const auto recolour = [&](NoteColor colour) {
        Note changed = *store->note(note.id);
        changed.color = colour;
        store->update(changed, false, false); // no announcement
    };
    recolour(NoteColor::Blue);
    Q_EMIT store->notesChanged(other.id);
    EXPECT_EQ(paper(), noteColor::color(NoteColor::Cream));
    Q_EMIT store->notesChanged(note.id);
    EXPECT_EQ(paper(), noteColor::color(NoteColor::Blue));
    recolour(NoteColor::Sage);
    Q_EMIT store->notesChanged(std::nullopt);
    EXPECT_EQ(paper(), noteColor::color(NoteColor::Sage));
}

TEST_F(NoteWindowControllerTest, ACollapsedNoteOpensFiftyFivePointsHighWithTheSameTop)
{
    Note note = emptyNote();
    note.frame = WindowFrame{100, 150, 310, 330};
    note.isCollapsed = true;
    note = addNote(note);
    auto controller = open(note);
    EXPECT_EQ(controller->panel()->frame(), QRectF(100, 425, 310, 55));
    EXPECT_EQ(controller->lastCollapsed(), true);
    EXPECT_FALSE(controller->editor()->isVisibleTo(controller->panel()));
    // The stored frame stays the expanded one.
    EXPECT_EQ(store->note(note.id)->frame, (WindowFrame{100, 150, 310, 330}));
}

TEST_F(NoteWindowControllerTest, CollapsingAndExpandingKeepTheTopAndAreUndoable)
{
    Note note = noteWithText(QStringLiteral("body"));
    note.frame = WindowFrame{200, 300, 320, 120}; // lower than the minimum height
    note = addNote(note);
    auto controller = open(note);
    // The window grows downwards to the minimum height: the top stays at 420.
    EXPECT_EQ(controller->panel()->frame(), QRectF(200, 260, 320, 160));

    controller->toggleCollapse();
    EXPECT_TRUE(store->note(note.id)->isCollapsed);
    EXPECT_EQ(controller->panel()->frame(), QRectF(200, 365, 320, 55));
    EXPECT_EQ(controller->editor()->history()->undoText(), QStringLiteral("折叠便笺"));

    controller->toggleCollapse();
    EXPECT_FALSE(store->note(note.id)->isCollapsed);
    EXPECT_EQ(controller->panel()->frame(), QRectF(200, 260, 320, 160));
}

TEST_F(NoteWindowControllerTest, AFrameOnAScreenThatIsGoneComesBackOnScreen)
{
    Note note = emptyNote();
    note.frame = WindowFrame{3000, 500, 310, 330};
    const QList<QRectF> screens{QRectF(0, 0, 1440, 900)};
    note = addNote(note);
    auto controller = open(note, screens);
    EXPECT_EQ(controller->panel()->frame(), QRectF(1130, 500, 310, 330));
    EXPECT_EQ(controller->panel()->frame(), WindowGeometry::recoveredFrame(QRectF(3000, 500, 310, 330), screens));
    // Placing the window writes nothing.
    EXPECT_EQ(store->note(note.id)->frame, (WindowFrame{3000, 500, 310, 330}));
}

TEST_F(NoteWindowControllerTest, RenamingFollowsTheTitleRules)
{
    const Note note = addNote(noteWithText(QStringLiteral("body")));
    auto controller = open(note);
    const auto stored = [&] { return *store->note(note.id); };

    controller->persistTitle(AttributedString(QStringLiteral("a\nb")));
    EXPECT_EQ(stored().customTitle, QStringLiteral("a b"));
    EXPECT_FALSE(stored().customTitleRich);
    EXPECT_EQ(controller->panel()->windowTitle(), QStringLiteral("Quorrin — a b"));
    EXPECT_EQ(controller->editor()->history()->undoText(), QStringLiteral("重命名便笺"));

    const QString grinning = QString::fromUtf8("\xF0\x9F\x98\x80");
    controller->persistTitle(AttributedString(QString(119, QLatin1Char('a')) + grinning + QStringLiteral("more")));
    EXPECT_EQ(stored().customTitle, QString(119, QLatin1Char('a')) + grinning);
    EXPECT_FALSE(stored().customTitleRich);

    AttributedString rich(QStringLiteral("Plan"));
    rich.setFont(0, 4, TextFont::system(18, true));
    controller->persistTitle(rich);
    EXPECT_EQ(stored().customTitle, QStringLiteral("Plan"));
    ASSERT_TRUE(stored().customTitleRich);
    EXPECT_EQ(stored().customTitleRich->attributed().attributesAt(0).font, TextFont::system(18, true));
    EXPECT_EQ(controller->titleField()->toPlainText(), QStringLiteral("Plan"));

    controller->persistTitle(AttributedString(QStringLiteral(" \n ")));
    EXPECT_FALSE(stored().customTitle);
    EXPECT_FALSE(stored().customTitleRich);
    EXPECT_EQ(controller->panel()->windowTitle(), QStringLiteral("Quorrin"));
    EXPECT_TRUE(controller->titleField()->toPlainText().isEmpty());
}

TEST_F(NoteWindowControllerTest, AnUnreadableRichTitleShowsThePlainTitle)
{
    Note note = emptyNote();
    note.customTitle = QStringLiteral("Plain");
    note.customTitleRich = RichText::fromRtf(QByteArrayLiteral("not rtf at all"));
    auto controller = open(addNote(note));
    EXPECT_EQ(controller->titleField()->toPlainText(), QStringLiteral("Plain"));
    EXPECT_EQ(controller->panel()->windowTitle(), QStringLiteral("Quorrin — Plain"));
}

TEST_F(NoteWindowControllerTest, TheNoteMenuListsItsCommandsWithTheNotesState)
{
    Note note = emptyNote();
    note.color = NoteColor::Sage;
    note.opacity = 0.85;
    note.prioritySorted = true;
    note = addNote(note);
    auto controller = open(note);
    const std::unique_ptr<QMenu> menu = controller->makeNoteMenu();

    QStringList titles;
    for (const QAction* action : menu->actions())
        titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(titles, (QStringList{QStringLiteral("折叠／展开"), QStringLiteral("隐藏这张便笺"), QStringLiteral("便笺颜色"),
                                   QStringLiteral("背景透明度"), QStringLiteral("-"), QStringLiteral("按优先级排序"),
                                   QStringLiteral("插入图片／PDF…"), QStringLiteral("导出…"),
                                   QStringLiteral("系统分享／存入备忘录…"), QStringLiteral("将当前样式存为默认模板"),
                                   QStringLiteral("-"), QStringLiteral("删除便笺…")}));
    EXPECT_TRUE(menu->actions()[5]->isChecked());

    QStringList checkedColours;
    for (const QAction* action : menu->actions()[2]->menu()->actions()) {
        if (action->isChecked())
            checkedColours << action->data().toString();
    }
    EXPECT_EQ(checkedColours, QStringList{QStringLiteral("sage")});

    const QList<QAction*> opacity = menu->actions()[3]->menu()->actions();
    ASSERT_EQ(opacity.size(), 5);
    EXPECT_EQ(opacity[1]->text(), QStringLiteral("85%"));
    for (const QAction* action : opacity)
        EXPECT_FALSE(action->isChecked());

    opacity[3]->trigger();
    EXPECT_DOUBLE_EQ(store->note(note.id)->opacity, 0.4);
    EXPECT_EQ(controller->editor()->history()->undoText(), QStringLiteral("背景透明度"));
    controller->setColor(QStringLiteral("Cream")); // not a raw value
    EXPECT_EQ(store->note(note.id)->color, NoteColor::Sage);
}

TEST_F(NoteWindowControllerTest, TheLayerButtonSwitchesOnceWhileItsIconMoves)
{
    const Note note = addNote(noteWithText(QStringLiteral("text")));
    auto controller = open(note);
    controller->layerButton()->click();
    EXPECT_TRUE(store->preferences().alwaysOnTop);
    EXPECT_TRUE(store->note(note.id)->alwaysOnTop);
    EXPECT_TRUE(controller->isLayerToggleAnimating());
    controller->layerButton()->click(); // within the animation: ignored
    EXPECT_TRUE(store->note(note.id)->alwaysOnTop);
    EXPECT_TRUE(controller->layerButton()->isChecked());

    RecordingNoteWindowHost host;
    controller->setWorkspace(&host);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controller->isLayerToggleAnimating(); }, 10000));
    controller->toggleLayer();
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("desktop")}); // the workspace switches every window
}

TEST_F(NoteWindowControllerTest, DeletingAfterConfirmationHidesTheWindowAndReportsIt)
{
    const Note note = addNote(noteWithText(QStringLiteral("text")));
    auto controller = open(note);
    controller->panel()->show();
    int deletions = 0;
    controller->onDelete = [&](const QUuid&) { ++deletions; };

    confirmAnswer = false;
    controller->deleteNote();
    EXPECT_FALSE(store->note(note.id)->deletedAt);
    EXPECT_TRUE(controller->panel()->isVisible());

    confirmAnswer = true;
    controller->deleteNote();
    EXPECT_TRUE(store->note(note.id)->deletedAt);
    EXPECT_FALSE(controller->panel()->isVisible());
    EXPECT_EQ(deletions, 1);

    // With the confirmation switched off nobody is asked (who would say no here).
    store->preferences().confirmDeletion = false;
    confirmAnswer = false;
    const Note other = addNote(noteWithText(QStringLiteral("other")));
    auto second = open(other);
    second->deleteNote();
    EXPECT_TRUE(store->note(other.id)->deletedAt);
}

TEST_F(NoteWindowControllerTest, TheCloseCommandIsCtrlW)
{
    const Note note = addNote(noteWithText(QStringLiteral("text")));
    auto controller = open(note);
    controller->panel()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(controller->panel()));
    controller->panel()->activateWindow();
    QTest::keyClick(controller->panel()->windowHandle(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !controller->panel()->isVisible(); }, 10000));
    EXPECT_TRUE(store->note(note.id)->isHidden);
}

TEST_F(NoteWindowControllerTest, TheCloseButtonAboveTheHeaderRunsTheCloseRule)
{
    for (const bool failing : {false, true}) {
        SCOPED_TRACE(failing);
        SetUp();
        errors = 0;
        const Note note = addNote(noteWithText(QStringLiteral("text")));
        auto controller = open(note);
        RecordingNoteWindowHost host;
        controller->setWorkspace(&host);
        controller->panel()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(controller->panel()));
        if (failing)
            breakSaving();

        HandCursorButton* button = controller->closeButton();
        ASSERT_TRUE(button);
        const QPoint inPanel = button->mapTo(controller->panel(), button->rect().center());
        // In the strip above the header, where every other press drags the window.
        EXPECT_LT(button->mapTo(controller->background(), QPoint(0, button->height())).y(),
                  controller->header()->mapTo(controller->background(), QPoint(0, 0)).y());
        QTest::mouseClick(controller->panel()->windowHandle(), Qt::LeftButton, {}, inPanel);
        QCoreApplication::processEvents();

        EXPECT_FALSE(host.calls.contains(QStringLiteral("beginMove")));
        EXPECT_EQ(controller->panel()->isVisible(), failing);
        EXPECT_EQ(store->note(note.id)->isHidden, !failing);
        EXPECT_EQ(errors, failing ? 1 : 0);
        directory.repairSaving();
    }
}

TEST_F(NoteWindowControllerTest, QuittingTheApplicationNeverRunsTheCloseRule)
{
    const Note note = addNote(emptyNote());
    auto controller = open(note);
    controller->panel()->show();
    int deletions = 0;
    controller->onDelete = [&](const QUuid&) { ++deletions; };
    controller.reset(); // what the registry does when the application ends
    ASSERT_TRUE(store->note(note.id));
    EXPECT_FALSE(store->note(note.id)->isHidden);
    EXPECT_EQ(deletions, 0);
}

TEST_F(NoteWindowControllerTest, ClosingTheWindowWhileTypingKeepsTheText)
{
    const Note note = addNote(noteWithText(QStringLiteral("a")));
    auto controller = open(note);
    controller->panel()->show();
    QApplication::setActiveWindow(controller->panel());
    BlockTextView* text = controller->editor()->textView();
    text->setFocus();
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(1);
    text->setTextCursor(cursor);
    QTest::keyClicks(text, QStringLiteral("bc"));
    // Destroying the panel moves the focus out of the text while the window
    // is going away: the text is written back, and nothing calls into the
    // half-destroyed window.
    controller.reset();
    EXPECT_EQ(store->note(note.id)->blocks.front().text.attributed().string(), QStringLiteral("abc"));
}

// Committing writes back a window's text however it was touched: composed
// while the window showed the note, composed across a refresh the store
// caused, or not at all (the stored text stays).
TEST_F(NoteWindowControllerTest, CommittingWritesBackWhatWasComposedSinceTheNoteWasShown)
{
    struct Case {
        const char* name;
        bool compose;
        bool refreshWhileComposing;
        QString expected;
    };
    const Case cases[] = {
        {"untouched", false, false, QStringLiteral("a")},
        {"composed", true, false, QStringLiteral("a中")},
        {"composed across a refresh", true, true, QStringLiteral("a中")},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const Note note = addNote(noteWithText(QStringLiteral("a")));
        auto controller = open(note);
        BlockTextView* text = controller->editor()->textView();
        QTextCursor cursor = text->textCursor();
        cursor.setPosition(1);
        text->setTextCursor(cursor);
        if (test.compose) {
            QInputMethodEvent composing(QStringLiteral("中"), {});
            QCoreApplication::sendEvent(text, &composing);
        }
        if (test.refreshWhileComposing) {
            Note changed = *store->note(note.id);
            changed.opacity = 0.8;
            store->update(changed, false, true);
        }
        controller->commitPendingInput();
        QCoreApplication::processEvents();
        EXPECT_EQ(store->note(note.id)->blocks.front().text.attributed().string(), test.expected);
    }
}

namespace quorrin {
namespace {

TEST_F(NoteWindowControllerTest, CtrlBFormatsTheBodyAsOneStepAndTheTitleWithoutAny)
{
    const Note note = addNote(noteWithText(QStringLiteral("body")));
    auto controller = open(note);
    controller->panel()->show();
    BlockEditor& editor = *controller->editor();
    EXPECT_EQ(controller->formatTarget(), &editor);
    EXPECT_TRUE(editor.formatPanel()); // the window gave the editor its panel

    QTextCursor word(editor.document());
    word.setPosition(0);
    word.setPosition(4, QTextCursor::KeepAnchor);
    editor.textView()->setTextCursor(word);
    const int steps = editor.history()->count();
    QTest::keyClick(editor.textView(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(editor.history()->count(), steps + 1);
    EXPECT_EQ(editor.history()->undoText(), QStringLiteral("加粗"));
    editor.flush();
    EXPECT_TRUE(store->note(note.id)->blocks[0].text.attributed().attributesAt(0).font->bold);

    word.setPosition(4);
    editor.textView()->setTextCursor(word);
    QTest::keyClick(editor.textView(), Qt::Key_I, Qt::ControlModifier); // the typing attributes
    EXPECT_EQ(editor.history()->count(), steps + 1);
    EXPECT_TRUE(editor.currentTextFormat().italic);

    TitleTextField* title = controller->titleField();
    title->setFocus();
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(title, &focusIn);
    if (!title->isEditing())
        GTEST_SKIP() << "the title field did not start editing without a window system";
    controller->beginTitleEditing();
    ASSERT_NE(controller->formatTarget(), &editor);
    title->selectAll();
    QTest::keyClick(title, Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(controller->formatTarget()->currentTextFormat().underline);
    EXPECT_EQ(editor.history()->count(), steps + 1);
}

TEST_F(NoteWindowControllerTest, TheBodysFormatPanelIsBuiltOnTheFirstFormattingCommand)
{
    const Note note = addNote(noteWithText(QStringLiteral("body")));
    auto controller = open(note);
    controller->panel()->show();
    QCoreApplication::processEvents();
    BlockEditor& editor = *controller->editor();
    EXPECT_EQ(controller->builtFormatPanel(), nullptr);
    EXPECT_EQ(editor.builtFormatPanel(), nullptr);
    store->notesChanged(note.id); // a refresh does not need it either
    EXPECT_EQ(controller->builtFormatPanel(), nullptr);

    QTextCursor word(editor.document());
    word.setPosition(0);
    word.setPosition(4, QTextCursor::KeepAnchor);
    editor.textView()->setTextCursor(word);
    QTest::keyClick(editor.textView(), Qt::Key_B, Qt::ControlModifier);
    ASSERT_NE(controller->builtFormatPanel(), nullptr);
    EXPECT_EQ(editor.builtFormatPanel(), controller->builtFormatPanel());
    EXPECT_EQ(editor.formatPanel(), controller->formatPanel()); // built once
    editor.flush();
    EXPECT_TRUE(store->note(note.id)->blocks[0].text.attributed().attributesAt(0).font->bold);
}

} // namespace
} // namespace quorrin
