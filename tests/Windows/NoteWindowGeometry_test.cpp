// Drags, live resizes and frame changes of a note window, and what each one
// records in the store.
#include "Windows/NoteWindowController.h"

#include "Persistence/StoreFixtures.h"
#include "Windows/NoteHeader.h"
#include "Windows/StickyPanel.h"
#include "Support/RecordingNoteWindowHost.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

using namespace quorrin;
using namespace quorrin::testing;

namespace {

class NoteWindowGeometryTest : public ::testing::Test {
protected:
    void SetUp() override { store = directory.open(false); }

    // A shown window of a note with text at `frame`.
    void open(WindowFrame frame, bool collapsed = false)
    {
        Note note = Note::create(fixedClock(700000000));
        note.blocks.front().text = RichText(QStringLiteral("body"), TextFont::system(14));
        note.frame = frame;
        note.isCollapsed = collapsed;
        note.id = store->create().id;
        store->update(note, true, false);
        id = note.id;

        NoteWindowController::Services services;
        services.screens = std::make_shared<FixedScreenProvider>(QList<QRectF>{QRectF(-4000, -4000, 8000, 8000)});
        services.prefersReducedMotion = [] { return true; };
        controller = std::make_unique<NoteWindowController>(*store, *store->note(id), std::move(services));
        controller->setWorkspace(&host);
        controller->panel()->show();
        QApplication::processEvents();
        host.calls.clear();
    }

    WindowFrame stored() const { return store->note(id)->frame; }
    // A window that moves and records itself, as without a workspace.
    void openAlone(WindowFrame frame, bool collapsed = false)
    {
        open(frame, collapsed);
        controller->setWorkspace(nullptr);
    }

    // Sends a left-button mouse event at a global Qt position to `receiver`,
    // positioned relative to `widget`.
    void mouse(QObject* receiver, QWidget* widget, QEvent::Type type, QPoint global, quint64 timestamp)
    {
        const QPointF local = widget->mapFromGlobal(QPointF(global));
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, local, local, QPointF(global), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          held, Qt::NoModifier);
        event.setTimestamp(timestamp);
        QApplication::sendEvent(receiver, &event);
    }

    // Presses on the header's empty middle and follows with moves to each of
    // `steps` (offsets from the press in Qt's global coordinates).
    QPoint dragHeader(const QList<QPoint>& steps)
    {
        NoteHeader* header = controller->header();
        const QPoint press = header->mapToGlobal(QPoint(header->width() / 2, header->height() / 2));
        mouse(header, header, QEvent::MouseButtonPress, press, 1000);
        quint64 time = 1001;
        for (const QPoint& step : steps)
            mouse(header, header, QEvent::MouseMove, press + step, time++);
        return press;
    }

    void release(QPoint global)
    {
        mouse(controller->header(), controller->header(), QEvent::MouseButtonRelease, global, 2000);
    }

    StoreDirectory directory;
    std::unique_ptr<NoteStore> store;
    RecordingNoteWindowHost host;
    QUuid id;
    std::unique_ptr<NoteWindowController> controller;
};

} // namespace

TEST_F(NoteWindowGeometryTest, AHeaderDragProposesEveryStepToTheWorkspaceAndEndsTheMoveOnRelease)
{
    open({100, 150, 310, 330});
    const QPoint press = dragHeader({{30, 10}, {100, 50}});
    EXPECT_TRUE(controller->isDragging());
    // Qt's y grows downwards, the model's upwards.
    EXPECT_EQ(host.calls, (QStringList{QStringLiteral("beginMove"), QStringLiteral("updateMove 130,140"),
                                       QStringLiteral("updateMove 200,100")}));
    host.calls.clear();
    release(press + QPoint(120, 50));
    EXPECT_FALSE(controller->isDragging());
    EXPECT_EQ(host.calls, (QStringList{QStringLiteral("updateMove 100,150"), QStringLiteral("finishMove")}));

    // The session is over: later moves go where they were meant to.
    host.calls.clear();
    mouse(controller->header(), controller->header(), QEvent::MouseMove, press + QPoint(300, 0), 3000);
    EXPECT_TRUE(host.calls.isEmpty());
}

TEST_F(NoteWindowGeometryTest, EscapeOrALostReleaseCancelsTheMove)
{
    open({100, 150, 310, 330});
    dragHeader({{80, 40}});
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(controller->panel(), &escape);
    EXPECT_FALSE(controller->isDragging());
    EXPECT_EQ(host.calls.last(), QStringLiteral("cancelMove"));

    const QPoint press = dragHeader({});
    host.calls.clear();
    // A move with the button no longer held: the release never came.
    NoteHeader* header = controller->header();
    const QPointF local = header->mapFromGlobal(QPointF(press + QPoint(40, 0)));
    QMouseEvent lost(QEvent::MouseMove, local, local, QPointF(press + QPoint(40, 0)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    lost.setTimestamp(1500);
    QApplication::sendEvent(header, &lost);
    EXPECT_FALSE(controller->isDragging());
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("cancelMove")});
}

TEST_F(NoteWindowGeometryTest, EventsOlderThanTheMouseDownAreIgnored)
{
    open({100, 150, 310, 330});
    const QPoint press = dragHeader({});
    mouse(controller->header(), controller->header(), QEvent::MouseMove, press + QPoint(50, 0), 999);
    mouse(controller->header(), controller->header(), QEvent::MouseButtonRelease, press + QPoint(50, 0), 998);
    EXPECT_TRUE(controller->isDragging());
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("beginMove")});
    release(press + QPoint(10, 0));
    EXPECT_FALSE(controller->isDragging());
}

TEST_F(NoteWindowGeometryTest, WithoutAWorkspaceADragMovesTheWindowItselfAndRecordsTheFrame)
{
    openAlone({100, 150, 310, 330});
    const QPoint press = dragHeader({{30, 10}, {100, 50}});
    EXPECT_EQ(controller->panel()->frame(), QRectF(200, 100, 310, 330));
    EXPECT_EQ(stored(), (WindowFrame{100, 150, 310, 330})) << "nothing is recorded while dragging";
    release(press + QPoint(120, 50));
    EXPECT_EQ(controller->panel()->frame(), QRectF(220, 100, 310, 330));
    EXPECT_EQ(stored(), (WindowFrame{220, 100, 310, 330}));
    EXPECT_TRUE(store->isSavePending());

    dragHeader({{80, 40}});
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(controller->panel(), &escape);
    EXPECT_EQ(controller->panel()->frame(), QRectF(220, 100, 310, 330));
    EXPECT_EQ(stored(), (WindowFrame{220, 100, 310, 330}));
}

TEST_F(NoteWindowGeometryTest, DraggingACollapsedNoteKeepsItsExpandedHeightUnderTheNewTop)
{
    openAlone({100, 150, 310, 330}, true); // shown at (100, 425, 310, 55)
    const QPoint press = dragHeader({{20, 30}});
    release(press + QPoint(20, 30));
    EXPECT_EQ(controller->panel()->frame(), QRectF(120, 395, 310, 55));
    EXPECT_EQ(stored(), (WindowFrame{120, 120, 310, 330}));
}

TEST_F(NoteWindowGeometryTest, AnEdgePressResizesTheWindowAndRecordsEveryStep)
{
    open({100, 150, 310, 330});
    StickyPanel* panel = controller->panel();
    QWindow* window = panel->windowHandle();
    ASSERT_NE(window, nullptr);
    const QPoint press = panel->mapToGlobal(QPoint(panel->width() - 2, 150));
    mouse(window, panel, QEvent::MouseButtonPress, press, 1000);
    EXPECT_TRUE(controller->userIsResizing);
    EXPECT_FALSE(controller->isDragging());

    mouse(window, panel, QEvent::MouseMove, press + QPoint(40, 0), 1001);
    EXPECT_EQ(panel->frame(), QRectF(100, 150, 350, 330));
    EXPECT_EQ(stored(), (WindowFrame{100, 150, 350, 330}));

    mouse(window, panel, QEvent::MouseButtonRelease, press + QPoint(60, 0), 1002);
    EXPECT_FALSE(controller->userIsResizing);
    EXPECT_EQ(stored(), (WindowFrame{100, 150, 370, 330}));

    // The bottom-left corner, dragged in past the minimum size.
    const QPoint corner = panel->mapToGlobal(QPoint(1, panel->height() - 1));
    mouse(window, panel, QEvent::MouseButtonPress, corner, 3000);
    mouse(window, panel, QEvent::MouseButtonRelease, corner + QPoint(500, -500), 3001);
    // The right and top edges stay where they were (470 and 480).
    EXPECT_EQ(stored(), (WindowFrame{220, 320, 250, 160}));
    EXPECT_EQ(host.calls.count(QStringLiteral("resized")), 3);
    // Each live resize is a session of the workspace, ended when released.
    EXPECT_EQ(host.calls.count(QStringLiteral("beginUserResize")), 2);
    EXPECT_EQ(host.calls.count(QStringLiteral("finishUserResize")), 2);
}

TEST_F(NoteWindowGeometryTest, FrameChangesTheWindowMakesItselfRecordNothing)
{
    open({100, 150, 310, 330});
    controller->updatingFrame = true;
    controller->panel()->setFrame(QRectF(400, 300, 500, 400));
    controller->updatingFrame = false;
    controller->restoreSavedFrame();
    EXPECT_EQ(controller->panel()->frame(), QRectF(100, 150, 310, 330));

    controller->toggleCollapse(); // the collapse layout resizes the window
    EXPECT_EQ(controller->panel()->frame(), QRectF(100, 425, 310, 55));
    EXPECT_EQ(stored(), (WindowFrame{100, 150, 310, 330}));
    EXPECT_TRUE(host.calls.filter(QStringLiteral("moved")).isEmpty());
}

TEST_F(NoteWindowGeometryTest, AMoveFromOutsideIsRecordedUnlessTheWindowIsWhereTheNoteSays)
{
    open({100, 150, 310, 330}, true);
    controller->panel()->setFrame(QRectF(100, 425, 310, 55)); // already there
    EXPECT_TRUE(host.calls.isEmpty());

    controller->panel()->setFrame(QRectF(300, 425, 310, 55));
    EXPECT_EQ(stored(), (WindowFrame{300, 150, 310, 330}));
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("moved")});
}

TEST_F(NoteWindowGeometryTest, ClosingDuringADragRecordsWhereTheWindowGotTo)
{
    openAlone({100, 150, 310, 330});
    dragHeader({{50, 0}});
    EXPECT_TRUE(controller->windowShouldClose());
    EXPECT_FALSE(controller->isDragging());
    EXPECT_EQ(stored(), (WindowFrame{150, 150, 310, 330}));
}
