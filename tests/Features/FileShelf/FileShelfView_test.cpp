#include "Features/FileShelf/FileShelfView.h"

#include "Features/FileShelf/FakeDropTiming.h"
#include "Features/FileShelf/FileDropOverlay.h"
#include "Features/FileShelf/FileShelfModel.h"
#include "Features/FileShelf/FileShelfRow.h"
#include "Widgets/HandCursorButton.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace quorrin {
namespace {

const QUuid noteID = QUuid::fromString(QStringLiteral("{6f1c2d3e-0000-4000-8000-000000000001}"));
const QUuid todoID = QUuid::fromString(QStringLiteral("{6f1c2d3e-0000-4000-8000-0000000000aa}"));

// A note's shelf over a real model and real files in a temporary folder,
// with the desktop's dialogs and file manager recorded.
class ShelfHarness {
public:
    ShelfHarness()
    {
        model.configure(noteID, false, {});
        original = write(QStringLiteral("原件/季度报告.pdf"), "%PDF-1.4\n");
        QDir(folder.path()).mkpath(QStringLiteral("目标"));
        desktop.chooseCopyFolder = [this](QWidget*) { return chosenFolder; };
        desktop.chooseRelocation = [this](QWidget*) { return chosenFile; };
        desktop.open = [this](const QString& path, const OpenFailure& failed) {
            opened.append(path);
            answers.push_back(failed);
        };
        desktop.reveal = [this](const QString& path, const OpenFailure& failed) {
            revealed.append(path);
            answers.push_back(failed);
        };
        shelf = std::make_unique<FileShelfView>(&model, std::nullopt, nullptr, desktop);
        shelf->onError = [this](const AppError& error) { errors.append(error.message); };
        model.onChange = [this] { shelf->reload(); };
        model.stage({QUrl::fromLocalFile(original)}, std::nullopt);
        shelf->resize(300, static_cast<int>(shelf->wantedHeight()));
    }

    QString write(const QString& relative, const QByteArray& content)
    {
        const QString path = folder.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path;
    }

    FileShelfRow* row() const
    {
        const std::vector<FileShelfRow*> rows = shelf->rows();
        return rows.empty() ? nullptr : rows.front();
    }

    void choose(const QString& title)
    {
        ASSERT_TRUE(row());
        const std::unique_ptr<QMenu> menu = row()->makeMenu();
        for (QAction* action : menu->actions()) {
            if (action->text() == title) {
                action->trigger();
                return;
            }
        }
        FAIL() << "no menu item " << title.toStdString();
    }

    QTemporaryDir folder;
    QString original;
    FileShelfModel model;
    FileShelfDesktop desktop;
    std::unique_ptr<FileShelfView> shelf;
    std::optional<QUrl> chosenFolder;
    std::optional<QUrl> chosenFile;
    QStringList opened;
    QStringList revealed;
    QStringList errors;
    // How to tell the shelf, later, that the desktop did not open or show a file.
    std::vector<OpenFailure> answers;
};

TEST(FileShelfRow, MenuOffersTheFourActionsInOrder)
{
    ShelfHarness h;
    const std::unique_ptr<QMenu> menu = h.row()->makeMenu();
    QStringList titles;
    for (QAction* action : menu->actions())
        titles << action->text();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("复制到…"), QStringLiteral("在文件管理器中显示"),
                                   QStringLiteral("重新定位…"), QStringLiteral("移除关联（保留原文件）")}));
}

TEST(FileShelfRow, ShowsNameStatusAndRemoveButton)
{
    ShelfHarness h;
    FileShelfRow* row = h.row();
    ASSERT_TRUE(row);
    EXPECT_EQ(row->accessibleName(), QStringLiteral("暂存文件：季度报告.pdf"));
    EXPECT_EQ(row->toolTip(), QStringLiteral("季度报告.pdf\n仅本次运行\n拖出仅复制；× 仅移除关联。"));
    EXPECT_EQ(row->removeButton()->accessibleName(), QStringLiteral("移出暂存区，保留原文件"));
    EXPECT_EQ(row->grabCursor(), Qt::OpenHandCursor);
    EXPECT_EQ(row->height(), 30);
}

TEST(FileShelfRow, CopyToFolderCopiesAndKeepsTheEntry)
{
    ShelfHarness h;
    h.chosenFolder = QUrl::fromLocalFile(h.folder.filePath(QStringLiteral("目标")));
    h.choose(QStringLiteral("复制到…"));
    EXPECT_TRUE(h.errors.isEmpty()) << h.errors.join(u'\n').toStdString();
    EXPECT_TRUE(QFile::exists(h.folder.filePath(QStringLiteral("目标/季度报告.pdf"))));
    EXPECT_TRUE(QFile::exists(h.original));
    EXPECT_EQ(h.model.items().size(), 1u);
}

TEST(FileShelfRow, CopyFailuresGoToTheShelfsErrors)
{
    ShelfHarness h;
    h.chosenFolder = QUrl::fromLocalFile(QFileInfo(h.original).absolutePath());
    h.choose(QStringLiteral("复制到…"));
    ASSERT_EQ(h.errors.size(), 1);
    EXPECT_FALSE(h.errors.first().isEmpty());
}

TEST(FileShelfRow, CancelledDialogsDoNothing)
{
    ShelfHarness h;
    h.choose(QStringLiteral("复制到…"));
    h.choose(QStringLiteral("重新定位…"));
    EXPECT_TRUE(h.errors.isEmpty());
    ASSERT_EQ(h.model.items().size(), 1u);
    EXPECT_EQ(h.model.items().front().url, QUrl::fromLocalFile(h.original));
}

TEST(FileShelfRow, RelocatePointsTheEntryElsewhere)
{
    ShelfHarness h;
    const QString moved = h.write(QStringLiteral("别处/季度报告-终稿.pdf"), "%PDF-1.4\n");
    h.chosenFile = QUrl::fromLocalFile(moved);
    const QUuid id = h.model.items().front().id;
    h.choose(QStringLiteral("重新定位…"));
    EXPECT_TRUE(h.errors.isEmpty());
    ASSERT_EQ(h.model.items().size(), 1u);
    EXPECT_EQ(h.model.items().front().id, id);
    EXPECT_EQ(h.model.items().front().url, QUrl::fromLocalFile(moved));
}

TEST(FileShelfRow, RevealShowsOnlyAReachableFile)
{
    ShelfHarness h;
    h.choose(QStringLiteral("在文件管理器中显示"));
    EXPECT_EQ(h.revealed, QStringList{h.original});

    QFile::remove(h.original);
    h.shelf->reload();
    h.choose(QStringLiteral("在文件管理器中显示"));
    EXPECT_EQ(h.revealed.size(), 1);
}

TEST(FileShelfRow, WhatTheDesktopCouldNotOpenOrShowIsReportedEvenAfterTheRowWent)
{
    const std::pair<const char*, std::function<void(ShelfHarness&)>> cases[] = {
        {"open", [](ShelfHarness& h) { QTest::mouseDClick(h.row(), Qt::LeftButton); }},
        {"reveal", [](ShelfHarness& h) { h.choose(QStringLiteral("在文件管理器中显示")); }},
    };
    for (const auto& [name, act] : cases) {
        SCOPED_TRACE(name);
        ShelfHarness h;
        act(h);
        ASSERT_EQ(h.answers.size(), 1u);
        // The desktop answers once the shelf was rebuilt.
        h.shelf->reload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        h.answers.front()(QStringLiteral("无法打开“季度报告.pdf”"));
        EXPECT_EQ(h.errors, QStringList{QStringLiteral("无法打开“季度报告.pdf”")});
    }
}

TEST(FileShelfRow, RemovingTheLinkKeepsTheFile)
{
    struct Case {
        const char* name;
        std::function<void(ShelfHarness&)> remove;
    };
    const Case cases[] = {
        {"menu", [](ShelfHarness& h) { h.choose(QStringLiteral("移除关联（保留原文件）")); }},
        {"button", [](ShelfHarness& h) { h.row()->removeButton()->click(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShelfHarness h;
        c.remove(h);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(h.model.items().empty());
        EXPECT_TRUE(h.shelf->rows().empty());
        EXPECT_TRUE(QFile::exists(h.original));
        EXPECT_EQ(h.shelf->wantedHeight(), 0);
    }
}

TEST(FileShelfRow, DoubleClickOpensAReachableFileAndExplainsOtherwise)
{
    ShelfHarness h;
    QTest::mouseClick(h.row(), Qt::LeftButton);
    EXPECT_TRUE(h.opened.isEmpty());
    QTest::mouseDClick(h.row(), Qt::LeftButton);
    EXPECT_EQ(h.opened, QStringList{h.original});

    QFile::remove(h.original);
    h.shelf->reload();
    QTest::mouseDClick(h.row(), Qt::LeftButton);
    EXPECT_EQ(h.opened.size(), 1);
    EXPECT_EQ(h.errors, QStringList{QStringLiteral("原文件暂时无法访问，请右键重新定位。")});
    EXPECT_EQ(h.row()->grabCursor(), Qt::ArrowCursor);
    EXPECT_TRUE(h.row()->findChild<QWidget*>(QStringLiteral("name")));
}

TEST(FileShelfRow, DraggingAnUnreachableFileExplainsOncePerPress)
{
    ShelfHarness h;
    QFile::remove(h.original);
    h.shelf->reload();
    FileShelfRow* row = h.row();
    QTest::mousePress(row, Qt::LeftButton, {}, QPoint(40, 15));
    for (int step = 1; step <= 3; ++step) {
        QMouseEvent move(QEvent::MouseMove, QPointF(40 + 20 * step, 15), row->mapToGlobal(QPointF(40 + 20 * step, 15)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(row, &move);
    }
    EXPECT_EQ(h.errors, QStringList{QStringLiteral("原文件已移动或不再可访问。")});
}

TEST(FileShelfView, HeightFollowsTheEntriesAndTheDropTarget)
{
    ShelfHarness h;
    std::vector<double> heights;
    h.shelf->onHeightChange = [&](double height) { heights.push_back(height); };
    EXPECT_EQ(h.shelf->wantedHeight(), 38);
    h.shelf->setShowsDropTarget(true);
    h.shelf->reload();
    EXPECT_EQ(h.shelf->wantedHeight(), 56);
    EXPECT_FALSE(h.shelf->caption()->isHidden());
    EXPECT_EQ(h.shelf->caption()->text(), QStringLiteral("拖入此处 · 暂存至这条待办"));
    h.shelf->setShowsDropTarget(false);
    h.shelf->reload();
    EXPECT_TRUE(h.shelf->caption()->isHidden());
    EXPECT_EQ(heights, (std::vector<double>{56, 38}));
    EXPECT_TRUE(h.shelf->hasItems());
}

TEST(FileShelfView, ATodoShelfShowsOnlyItsTodosFiles)
{
    ShelfHarness h;
    FileShelfView todoShelf(&h.model, todoID, nullptr, h.desktop);
    EXPECT_TRUE(todoShelf.rows().empty());
    EXPECT_EQ(todoShelf.wantedHeight(), 0);
    EXPECT_TRUE(todoShelf.hasItems()); // the note holds a file elsewhere

    const QString other = h.write(QStringLiteral("清单.txt"), "牛奶");
    h.model.stage({QUrl::fromLocalFile(other)}, todoID);
    todoShelf.reload();
    ASSERT_EQ(todoShelf.rows().size(), 1u);
    EXPECT_EQ(todoShelf.rows().front()->file().displayName(), QStringLiteral("清单.txt"));
    EXPECT_EQ(h.shelf->rows().size(), 1u);
}

TEST(FileShelfView, WithoutAModelItMakesItsOwnAndReloadsOnItsChanges)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("图.png"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("x");
    file.close();

    FileShelfView shelf(nullptr, std::nullopt);
    ASSERT_TRUE(shelf.model());
    EXPECT_EQ(shelf.wantedHeight(), 0);
    shelf.model()->stage({QUrl::fromLocalFile(path)}, std::nullopt);
    EXPECT_EQ(shelf.rows().size(), 1u);
    EXPECT_EQ(shelf.wantedHeight(), 38);
}

// The shelf hands file drags to the window's overlay; moving on from the
// shelf to the rest of the note keeps the session.
TEST(FileShelfView, HandsFileDragsToTheOverlay)
{
    ShelfHarness h;
    QWidget window;
    window.resize(300, 400);
    h.shelf->setParent(&window);
    // The harness owns the shelf; the window must not delete it.
    const auto detach = qScopeGuard([&] { h.shelf->setParent(nullptr); });
    h.shelf->setGeometry(0, 300, 300, 38);
    auto [timing, clock] = test::fakeDropTiming();
    FileDropOverlay overlay(&window, std::move(timing));
    overlay.setGeometry(0, 0, 300, 400);
    std::vector<std::optional<QUuid>> drops;
    overlay.onDrop = [&](const QList<QUrl>&, std::optional<QUuid> blockID) {
        drops.push_back(blockID);
        return true;
    };
    h.shelf->dropRouter = &overlay;

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(h.original)});
    QDragEnterEvent enter(QPoint(150, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(h.shelf.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(overlay.mode(), FileDropOverlay::Mode::Choosing);
    EXPECT_FALSE(overlay.isHidden());

    QDragMoveEvent move(QPoint(150, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(h.shelf.get(), &move);
    EXPECT_TRUE(move.isAccepted());
    EXPECT_TRUE(overlay.flow().session());

    // Dropped on the lower pane through the shelf: the note's own shelf.
    QDropEvent drop(QPointF(150, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(h.shelf.get(), &drop);
    EXPECT_EQ(drops, (std::vector<std::optional<QUuid>>{std::nullopt}));
    EXPECT_EQ(overlay.mode(), FileDropOverlay::Mode::Idle);
    EXPECT_TRUE(overlay.isHidden());
}

TEST(FileDropOverlay, IgnoresDragsWithoutFilesAndNamesItself)
{
    QWidget window;
    window.resize(300, 400);
    FileDropOverlay overlay(&window);
    overlay.setGeometry(0, 0, 300, 400);
    EXPECT_TRUE(overlay.isHidden());
    EXPECT_TRUE(overlay.acceptDrops());
    EXPECT_EQ(overlay.accessibleName(), QStringLiteral("文件暂存方式选择"));

    QMimeData text;
    text.setText(QStringLiteral("买牛奶"));
    QDragEnterEvent enter(QPoint(150, 300), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&overlay, &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_EQ(overlay.mode(), FileDropOverlay::Mode::Idle);
}

TEST(FileDropOverlay, ADragLostInsideEndsUnlessAnotherViewTakesItOver)
{
    QWidget window;
    window.resize(300, 400);
    auto [timing, clock] = test::fakeDropTiming();
    FileDropOverlay overlay(&window, std::move(timing));
    overlay.setGeometry(0, 0, 300, 400);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.pdf"))});
    const QPointF inside = overlay.mapToGlobal(QPointF(150, 300));

    ASSERT_EQ(overlay.draggingEntered(data), Qt::CopyAction);
    const std::optional<quint64> session = overlay.flow().session();
    overlay.draggingExited(inside);
    overlay.draggingEntered(data); // the next view hands it back at once
    clock.advance(0);
    EXPECT_EQ(overlay.mode(), FileDropOverlay::Mode::Choosing);
    EXPECT_EQ(overlay.flow().session(), session);

    overlay.draggingExited(inside); // cancelled where it was
    EXPECT_EQ(overlay.mode(), FileDropOverlay::Mode::Choosing);
    clock.advance(0);
    EXPECT_EQ(overlay.mode(), FileDropOverlay::Mode::Idle);
    EXPECT_TRUE(overlay.isHidden());

    overlay.draggingEntered(data);
    EXPECT_NE(overlay.flow().session(), session); // a new drag, a new session
    overlay.draggingExited(overlay.mapToGlobal(QPointF(150, 500)));
    EXPECT_EQ(overlay.mode(), FileDropOverlay::Mode::Idle);
}

TEST(FileDropOverlay, ARefusedPlaceEndsTheSessionOnDrop)
{
    QWidget window;
    window.resize(300, 400);
    auto [timing, clock] = test::fakeDropTiming();
    FileDropOverlay overlay(&window, std::move(timing));
    overlay.setGeometry(0, 0, 300, 400);
    int dropped = 0;
    overlay.onDrop = [&](const QList<QUrl>&, std::optional<QUuid>) { return ++dropped > 0; };

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.pdf"))});
    QDragEnterEvent enter(QPoint(150, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&overlay, &enter);
    QDragMoveEvent move(QPoint(150, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&overlay, &move);
    EXPECT_FALSE(move.isAccepted()); // the upper pane without todos
    QDropEvent drop(QPointF(150, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&overlay, &drop);
    EXPECT_EQ(dropped, 0);
    EXPECT_EQ(overlay.mode(), FileDropOverlay::Mode::Idle);
}

} // namespace
} // namespace quorrin
