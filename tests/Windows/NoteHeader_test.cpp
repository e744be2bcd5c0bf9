#include "Support/FakeDropRouter.h"

#include "Windows/NoteBackground.h"
#include "Windows/NoteHeader.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QDropEvent>
#include <QMimeData>

#include <memory>

using namespace quorrin;
using namespace quorrin::test;

namespace {

struct Window {
    QWidget root;
    NoteHeader* header = new NoteHeader(&root);
    FakeDropRouter* router = new FakeDropRouter(&root);

    Window()
    {
        root.resize(300, 200);
        header->setGeometry(12, 23, 278, 28);
        router->setGeometry(0, 23, 300, 177);
        header->dropRouter = router;
        root.show();
    }
};

bool enter(QWidget& target, const QMimeData& data, Qt::DropAction* action = nullptr)
{
    QDragEnterEvent event(QPoint(40, 10), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
    if (action)
        *action = event.dropAction();
    return event.isAccepted();
}

bool drop(QWidget& target, const QMimeData& data)
{
    QDropEvent event(QPointF(40, 10), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
    return event.isAccepted();
}

void leave(QWidget& target)
{
    QDragLeaveEvent event;
    QApplication::sendEvent(&target, &event);
}

} // namespace

TEST(NoteHeader, TextDragIsAcceptedAsCopyAndMakesANote)
{
    Window w;
    QString dropped;
    w.header->onTextDrop = [&](const QString& text) { dropped = text; };
    std::unique_ptr<QMimeData> data(textData());
    Qt::DropAction action = Qt::IgnoreAction;
    EXPECT_TRUE(enter(*w.header, *data, &action));
    EXPECT_EQ(action, Qt::CopyAction);
    EXPECT_TRUE(drop(*w.header, *data));
    EXPECT_EQ(dropped, QStringLiteral("买牛奶"));
    EXPECT_EQ(w.router->entered, 0);
}

TEST(NoteHeader, FileDragGoesToTheRouterInItsCoordinates)
{
    Window w;
    bool textDropped = false;
    w.header->onTextDrop = [&](const QString&) { textDropped = true; };
    std::unique_ptr<QMimeData> data(fileData());
    data->setText(QStringLiteral("/tmp/a.pdf")); // files win over the text they carry
    EXPECT_TRUE(enter(*w.header, *data));
    EXPECT_EQ(w.router->entered, 1);
    EXPECT_TRUE(drop(*w.header, *data));
    ASSERT_EQ(w.router->accepted.size(), 1);
    EXPECT_EQ(w.router->accepted.front(), data->urls());
    EXPECT_EQ(w.router->acceptedAt.front(), QPointF(52, 10)); // header is 12 pt in, same top
    EXPECT_EQ(w.router->ended, 1);
    EXPECT_FALSE(textDropped);
}

TEST(NoteHeader, DragWithNeitherIsRefused)
{
    Window w;
    QMimeData data;
    data.setData(QStringLiteral("application/x-other"), "x");
    EXPECT_FALSE(enter(*w.header, data));
    EXPECT_FALSE(drop(*w.header, data));
    EXPECT_TRUE(w.router->accepted.isEmpty());
}

TEST(NoteHeader, FileDragWithoutRouterIsRefused)
{
    Window w;
    w.header->dropRouter = nullptr;
    std::unique_ptr<QMimeData> data(fileData());
    EXPECT_FALSE(enter(*w.header, *data));
    EXPECT_FALSE(drop(*w.header, *data));
}

TEST(NoteHeader, LeavingOverTheOverlayKeepsItsSession)
{
    Window w;
    std::unique_ptr<QMimeData> data(fileData());
    enter(*w.header, *data);
    QCursor::setPos(w.router->mapToGlobal(QPoint(100, 100)));
    leave(*w.header);
    EXPECT_EQ(w.router->ended, 0);
    enter(*w.header, *data);
    QCursor::setPos(w.root.mapToGlobal(QPoint(100, 5))); // above the overlay
    leave(*w.header);
    EXPECT_EQ(w.router->ended, 1);
}

TEST(NoteHeader, DescribesItselfForUsersAndAssistiveTechnology)
{
    NoteHeader header;
    EXPECT_EQ(header.toolTip(), QStringLiteral("拖动空白区域移动便笺；将文字拖入这里新建便笺"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&header);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Grouping);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("便笺标题与拖动区域"));
}

TEST(NoteHeader, PressGoesToTheDragCallback)
{
    NoteHeader header;
    int drags = 0;
    header.onDrag = [&](QMouseEvent*) { ++drags; };
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&header, &press);
    EXPECT_EQ(drags, 1);
    EXPECT_TRUE(press.isAccepted());
}

TEST(NoteBackground, FileDropsGoToTheRouterAndOtherDragsAreRefused)
{
    QWidget root;
    root.resize(300, 200);
    auto* background = new NoteBackground(&root);
    background->setGeometry(root.rect());
    auto* router = new FakeDropRouter(background);
    router->setGeometry(0, 23, 300, 177);
    background->dropRouter = router;
    root.show();

    std::unique_ptr<QMimeData> text(textData());
    EXPECT_FALSE(enter(*background, *text));

    std::unique_ptr<QMimeData> files(fileData());
    EXPECT_TRUE(enter(*background, *files));
    QDragMoveEvent move(QPoint(40, 100), Qt::CopyAction, files.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(background, &move);
    ASSERT_EQ(router->updates.size(), 1);
    EXPECT_EQ(router->updates.front(), QPointF(40, 77));

    router->refuse = true;
    EXPECT_FALSE(drop(*background, *files));
    EXPECT_EQ(router->ended, 1);
}
