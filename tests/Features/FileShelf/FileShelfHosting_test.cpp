#include "Features/FileShelf/FileShelfHosting.h"

#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Persistence/StoreFixtures.h"
#include "Support/FakeDropRouter.h"
#include "Windows/NoteBackground.h"
#include "Windows/NoteWindowController.h"
#include "Windows/StickyPanel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>

using namespace quorrin;
using namespace quorrin::testing;
using quorrin::test::FakeDropRouter;

namespace {

// A shelf that wants the height the real one wants for its files.
class CountingShelf final : public NoteFileShelf {
public:
    CountingShelf(FileShelfModel& model, std::optional<QUuid> blockID, QWidget* parent)
        : NoteFileShelf(parent)
        , m_model(model)
        , m_blockID(blockID)
    {
    }
    double wantedHeight() const override
    {
        const auto n = double(m_model.files(m_blockID).size());
        if (n > 0)
            return std::min(30 * n + (m_target ? 26 : 8), 126.0);
        return m_target ? 42 : 0;
    }
    bool showsDropTarget() const override { return m_target; }
    void setShowsDropTarget(bool shows) override { m_target = shows; }
    void reload() override
    {
        ++reloads;
        if (onHeightChange)
            onHeightChange(wantedHeight());
    }
    int reloads = 0;

private:
    FileShelfModel& m_model;
    std::optional<QUuid> m_blockID;
    bool m_target = false;
};

class FileShelfHostingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(files.isValid());
        store = directory.open(false);
        store->setOnError([this](std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const AppError& appError) {
                errors << appError.message;
            } catch (...) {
                errors << QStringLiteral("?");
            }
        });
    }

    void setKeepsLinks(bool keeps)
    {
        store->preferences().persistFileLinks = keeps;
        store->save();
    }

    Note addNote(Note note)
    {
        const Note created = store->create();
        note.id = created.id;
        store->update(note, true, false);
        return *store->note(note.id);
    }

    std::unique_ptr<NoteWindowController> open(const Note& note)
    {
        NoteWindowController::Services services;
        services.screens = std::make_shared<FixedScreenProvider>(QList<QRectF>{QRectF(0, 0, 4000, 3000)});
        services.prefersReducedMotion = [] { return true; };
        services.parts.installFileShelves = [this](NoteWindowController& window) {
            FileShelfHosting::Makers makers;
            makers.makeShelf = [](FileShelfModel& model, std::optional<QUuid> blockID, QWidget* parent) {
                return new CountingShelf(model, blockID, parent);
            };
            makers.makeOverlay = [this](QWidget* parent) {
                router = new FakeDropRouter(parent);
                return router;
            };
            hosting = FileShelfHosting::install(window, makers);
        };
        return std::make_unique<NoteWindowController>(*store, note, std::move(services));
    }

    QUrl file(const QString& name)
    {
        QFile out(files.filePath(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("x");
        return QUrl::fromLocalFile(out.fileName());
    }

    static Note noteWithTodo(QUuid* todoID, bool archived = false)
    {
        Note note = Note::create(fixedClock(700000000));
        note.blocks.front().text = RichText(QStringLiteral("text"), TextFont::system(14));
        Block todo = Block::create(fixedClock(700000000));
        todo.convert(BlockKind::Todo, fixedClock(700000000));
        todo.text = RichText(QStringLiteral("todo"), TextFont::system(14));
        if (archived)
            todo.todo->archivedAt = fixedClock(700000000)();
        *todoID = todo.id;
        note.blocks.push_back(todo);
        return note;
    }

    QTemporaryDir files;
    StoreDirectory directory;
    std::unique_ptr<NoteStore> store;
    FileShelfHosting* hosting = nullptr;
    FakeDropRouter* router = nullptr;
    QStringList errors;
};

TEST_F(FileShelfHostingTest, DropsGoToTheNoteShelfOrAShownTodoOnly)
{
    QUuid todo;
    QUuid archived;
    Note note = noteWithTodo(&todo);
    Note withArchived = noteWithTodo(&archived, true);
    note.blocks.push_back(withArchived.blocks.back());
    note = addNote(note);
    auto window = open(note);
    ASSERT_TRUE(router);
    ASSERT_TRUE(router->onDrop);

    struct Case {
        const char* label;
        std::optional<QUuid> target;
        QString name;
        bool accepted;
        size_t noteShelf;
        size_t todoShelf;
    };
    const std::vector<Case> cases{
        {"note shelf", std::nullopt, "a.txt", true, 1, 0},
        {"shown todo", todo, "b.txt", true, 1, 1},
        {"archived todo refused", archived, "c.txt", false, 1, 1},
        {"paragraph refused", note.blocks.front().id, "d.txt", false, 1, 1},
        {"same file moves to the todo", todo, "a.txt", true, 0, 2},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.label);
        EXPECT_EQ(router->onDrop({file(test.name)}, test.target), test.accepted);
        EXPECT_EQ(hosting->model().files(std::nullopt).size(), test.noteShelf);
        EXPECT_EQ(hosting->model().files(todo).size(), test.todoShelf);
    }
    EXPECT_TRUE(errors.isEmpty());

    EXPECT_FALSE(router->onDrop({QUrl::fromLocalFile(files.filePath("gone.txt"))}, std::nullopt));
    EXPECT_EQ(errors, QStringList{"无法暂存：原文件不存在或不可访问。"});
    EXPECT_TRUE(router->hasTasks());
}

TEST_F(FileShelfHostingTest, TheShelfAreaFollowsItsFilesTheWindowAndCollapsing)
{
    const Note note = addNote(Note::create(fixedClock(700000000)));
    auto window = open(note);
    window->panel()->resize(300, 500);
    window->panel()->show();
    QApplication::processEvents();
    EXPECT_FALSE(window->fileShelf) << "a note without files has no shelf yet";

    const std::vector<std::pair<int, double>> heights{{1, 38}, {3, 98}, {5, 126}};
    int staged = 0;
    for (const auto& [count, expected] : heights) {
        QList<QUrl> more;
        for (; staged < count; ++staged)
            more << file(QStringLiteral("f%1.txt").arg(staged));
        hosting->model().stage(more, std::nullopt);
        EXPECT_EQ(window->shelfHeight(), expected) << count;
        EXPECT_TRUE(window->fileShelf->isVisibleTo(window->panel()));
    }

    // A short window caps the shelf at its height less 80.
    window->panel()->resize(300, 160);
    QApplication::processEvents();
    EXPECT_EQ(window->shelfHeight(), std::max(window->background()->height() - 80.0, 0.0));

    window->toggleCollapse();
    QApplication::processEvents();
    EXPECT_EQ(window->shelfHeight(), 0.0);
    EXPECT_FALSE(window->fileShelf->isVisibleTo(window->panel()));
    // A later store-wide change (the link setting switched) keeps it hidden.
    Q_EMIT store->notesChanged(std::nullopt);
    EXPECT_FALSE(window->fileShelf->isVisibleTo(window->panel()));
}

TEST_F(FileShelfHostingTest, LinksPersistAcrossReopeningOnlyWhileTheSettingIsOn)
{
    setKeepsLinks(true);
    Note note = addNote(Note::create(fixedClock(700000000)));
    {
        auto window = open(note);
        hosting->model().stage({file("kept.txt")}, std::nullopt);
        ASSERT_TRUE(store->note(note.id)->fileLinks);
        EXPECT_EQ(store->note(note.id)->fileLinks->size(), 1u);
        store->save();
    }
    store.reset();
    store = directory.open(false);
    {
        ASSERT_TRUE(store->note(note.id)) << "a note of only links is kept";
        auto window = open(*store->note(note.id));
        ASSERT_EQ(hosting->model().items().size(), 1u);
        EXPECT_TRUE(hosting->model().items()[0].available());
        EXPECT_TRUE(window->holdsStagedFiles());

        // Switching the setting off turns the open shelf's files into files
        // of this run and keeps the note, named after its files.
        store->setFilePersistence(false);
        EXPECT_FALSE(hosting->model().persistence());
        EXPECT_EQ(hosting->model().items()[0].status(), "仅本次运行");
        EXPECT_FALSE(store->note(note.id)->fileLinks);
        EXPECT_EQ(store->note(note.id)->customTitle, "kept.txt");
        store->save();
    }
    store.reset();
    store = directory.open(false);
    ASSERT_TRUE(store->note(note.id));
    EXPECT_FALSE(store->note(note.id)->fileLinks);
}

TEST_F(FileShelfHostingTest, RemovingTheLastLinkLeavesABlankNoteBlank)
{
    setKeepsLinks(true);
    const Note note = addNote(Note::create(fixedClock(700000000)));
    auto window = open(note);
    hosting->model().stage({file("a.txt")}, std::nullopt);
    hosting->model().removeReference(hosting->model().items()[0].id);
    ASSERT_TRUE(store->note(note.id));
    EXPECT_FALSE(store->note(note.id)->fileLinks);
    EXPECT_FALSE(store->note(note.id)->customTitle);
    EXPECT_TRUE(store->note(note.id)->isEmpty());
}

TEST_F(FileShelfHostingTest, ALinksOnlyNoteOpenedWithoutTheSettingIsNotThrownAway)
{
    // As after restoring a backup whose preferences lack the setting.
    setKeepsLinks(true);
    Note note = addNote(Note::create(fixedClock(700000000)));
    {
        auto window = open(note);
        hosting->model().stage({file("report.pdf")}, std::nullopt);
    }
    store->preferences().persistFileLinks.reset();
    store->save();
    auto window = open(*store->note(note.id));
    ASSERT_TRUE(store->note(note.id));
    EXPECT_FALSE(store->note(note.id)->fileLinks);
    EXPECT_FALSE(store->note(note.id)->isEmpty());
    EXPECT_EQ(store->note(note.id)->customTitle, "report.pdf");
}

TEST_F(FileShelfHostingTest, FileDragsOnTheTextGoToTheOverlay)
{
    const Note note = addNote(Note::create(fixedClock(700000000)));
    auto window = open(note);
    window->panel()->resize(300, 400);
    window->panel()->show();
    QApplication::processEvents();
    BlockTextView* text = window->editor()->textView();
    ASSERT_EQ(text->dropRouter, router);

    QMimeData data;
    data.setUrls({file("a.txt")});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(text->viewport(), &enter);
    EXPECT_EQ(router->entered, 1);
    EXPECT_TRUE(enter.isAccepted());

    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(text->viewport(), &drop);
    ASSERT_EQ(router->accepted.size(), 1);
    EXPECT_EQ(router->accepted[0], QList<QUrl>{file("a.txt")});
    // Nothing was imported into the text.
    EXPECT_EQ(store->note(note.id)->blocks.size(), note.blocks.size());

    QMimeData text_only;
    text_only.setText(QStringLiteral("plain"));
    QDragEnterEvent plain(QPoint(20, 20), Qt::CopyAction, &text_only, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(text->viewport(), &plain);
    EXPECT_EQ(router->entered, 1);
}

TEST_F(FileShelfHostingTest, FilesTheEditorCannotShowGoToTheNoteShelf)
{
    const Note note = addNote(Note::create(fixedClock(700000000)));
    auto window = open(note);
    window->editor()->importFiles({file("archive.zip").toLocalFile()});
    ASSERT_EQ(hosting->model().files(std::nullopt).size(), 1u);
    EXPECT_EQ(hosting->model().items()[0].displayName(), "archive.zip");
    EXPECT_EQ(store->note(note.id)->blocks.size(), note.blocks.size());

    window->editor()->importFiles({files.filePath("missing.zip")});
    EXPECT_EQ(errors, QStringList{"无法暂存：原文件不存在或不可访问。"});
}

TEST_F(FileShelfHostingTest, AFileDragClosesTheBlockMenuAndExpandsACollapsedNoteUndoably)
{
    for (const bool collapsed : {false, true}) {
        SCOPED_TRACE(collapsed ? "collapsed" : "expanded");
        Note note = Note::create(fixedClock(700000000));
        note.isCollapsed = collapsed;
        note = addNote(note);
        auto window = open(note);
        int menusClosed = 0;
        window->editor()->closeBlockMenu = [&] { ++menusClosed; };
        router->onBegin();
        EXPECT_GT(menusClosed, 0);
        EXPECT_FALSE(store->note(note.id)->isCollapsed);
        EXPECT_EQ(window->editor()->history()->undoText(), collapsed ? "展开便笺" : "");
        EXPECT_TRUE(window->temporarilyRaised);
    }
}

} // namespace

TEST_F(FileShelfHostingTest, ClosingKeepsABlankNoteWhileAnyShelfHoldsAFile)
{
    // Links of this run only: the files are not in the note's data, so the
    // shelves alone must keep the note.
    struct Case {
        const char* label;
        bool onTodo;
        bool removedAgain;
        bool kept;
    };
    const std::vector<Case> cases{
        {"file on the note's shelf", false, false, true},
        {"file on an empty todo's shelf", true, false, true},
        {"todo's file staged then removed", true, true, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.label);
        Note note = Note::create(fixedClock(700000000));
        note.blocks.front().convert(BlockKind::Todo, fixedClock(700000000));
        const QUuid todo = note.blocks.front().id;
        note = addNote(note);
        ASSERT_TRUE(note.isEmpty());
        auto window = open(note);
        hosting->model().stage({file("staged.txt")}, test.onTodo ? std::optional<QUuid>(todo) : std::nullopt);
        if (test.removedAgain)
            hosting->model().removeReference(hosting->model().items()[0].id);
        EXPECT_EQ(bool(window->fileShelf), !test.onTodo) << "a todo's file builds no note shelf";

        EXPECT_TRUE(window->windowShouldClose());
        EXPECT_EQ(bool(store->note(note.id)), test.kept);
    }
    EXPECT_TRUE(errors.isEmpty());
}
