#include "App/FileCommands.h"

#include "App/AppDelegate.h"
#include "App/ControllerNoteWindow.h"
#include "App/NoteRegistry.h"
#include "Editor/BlockEditor.h"
#include "Features/DocumentIO.h"
#include "Persistence/NoteStore.h"
#include "Platform/AlertPresenter.h"
#include "Core/Screens/ScreenProvider.h"

#include "RecordingAlerts.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimeZone>

namespace quorrin {
namespace {

using testing::RecordingAlerts;

struct FakeDialogs final : FileDialogs {
    std::optional<SaveChoice> saveAnswer;
    QStringList openAnswer;
    std::vector<SaveRequest> saves;
    std::vector<OpenRequest> opens;

    std::optional<SaveChoice> askSavePath(QWidget*, const SaveRequest& request) override
    {
        saves.push_back(request);
        return saveAnswer;
    }
    QStringList askOpenPaths(QWidget*, const OpenRequest& request) override
    {
        opens.push_back(request);
        return openAnswer;
    }
};

QString textOf(const Note& note)
{
    QStringList paragraphs;
    for (const Block& block : note.blocks)
        paragraphs << block.text.attributed().string();
    return paragraphs.join(u'\n');
}

class FileCommandsTest : public ::testing::Test {
protected:
    QTemporaryDir data;
    QTemporaryDir files;
    RecordingAlerts alerts;
    std::shared_ptr<FakeDialogs> dialogs = std::make_shared<FakeDialogs>();
    QStringList questions;
    bool confirmAnswer = true;
    QStringList revealed;
    // What the file manager answers when it cannot show a file; it shows
    // every file when empty.
    QString revealFailure;
    std::unique_ptr<AppDelegate> delegate;

    void launch(const QStringList& request = {})
    {
        AppEnvironment environment;
        environment.alerts = &alerts;
        environment.root = data.path();
        environment.screens = std::make_shared<FixedScreenProvider>(QList<QRectF>{QRectF(0, 0, 1600, 1000)});
        environment.exit = [](int) {};
        environment.fileDialogs = dialogs;
        environment.confirm = [this](const QString& message, const QString& informative, const QString& yes,
                                     const QString& no) {
            questions << message << informative << yes << no;
            return confirmAnswer;
        };
        environment.reveal = [this](const QString& path, const OpenFailure& failed) {
            revealed << path;
            if (!revealFailure.isEmpty())
                failed(revealFailure);
        };
        delegate = std::make_unique<AppDelegate>(std::move(environment));
        delegate->launch(request);
    }

    NoteStore& store() { return *delegate->store(); }
    NoteRegistry& registry() { return *delegate->registry(); }
    FileCommands& commands() { return *delegate->fileCommands(); }

    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = files.filePath(name);
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        return path;
    }

    QString image(const QString& name)
    {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const QString path = files.filePath(name);
        picture.save(path, "PNG");
        return path;
    }

    Note setText(Note note, const QString& text)
    {
        note.blocks.resize(1);
        note.blocks.front().text = RichText(AttributedString(text));
        store().update(note, true, true);
        return *store().note(note.id);
    }

    std::vector<QString> activeTexts()
    {
        std::vector<QString> texts;
        for (const Note& note : store().active())
            texts.push_back(textOf(note));
        std::sort(texts.begin(), texts.end());
        return texts;
    }

    // Lets deferred work (window removal, error alerts) run.
    static void settle()
    {
        for (int turn = 0; turn < 3; ++turn) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }
};

TEST_F(FileCommandsTest, HandedOverFilesAreRoutedByTheirExtension)
{
    const QString text = file(QStringLiteral("Shopping.TXT"), "milk\neggs");
    const QString notABackup = file(QStringLiteral("x.QUORRINBACKUP"), "plain bytes");
    launch({text, notABackup});

    // The upper-case document extension still imports; the backup extension
    // only counts when spelled exactly, so no restore was offered.
    EXPECT_TRUE(questions.isEmpty());
    const std::vector<QString> texts = activeTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), QStringLiteral("milk\neggs")), texts.end());
    // Every live note is shown once the files are handled.
    settle();
    for (const Note& note : store().active())
        EXPECT_NE(registry().controller(note.id), nullptr);
}

TEST_F(FileCommandsTest, AnImageWithoutAnyNoteWindowGoesIntoANewNote)
{
    launch();
    for (const Note& note : store().active())
        store().discardEmptyNote(note.id);
    registry().removeAll();
    settle();
    ASSERT_TRUE(registry().controllers().empty());

    EXPECT_TRUE(commands().openFiles({image(QStringLiteral("photo.png"))}));
    ASSERT_EQ(store().active().size(), 1u);
    const Note note = store().active().front();
    const bool hasImage = std::any_of(note.blocks.begin(), note.blocks.end(), [](const Block& block) {
        return block.kind == BlockKind::Image && block.attachment;
    });
    EXPECT_TRUE(hasImage);
}

TEST_F(FileCommandsTest, AFileTheNoteRefusesFailsTheHandOver)
{
    launch();
    struct Case {
        const char* name;
        QString path;
        bool opened;
    };
    const Case cases[] = {
        {"a picture", image(QStringLiteral("photo.png")), true},
        {"one byte of PDF", file(QStringLiteral("tiny.pdf"), "%"), true},
        {"an empty PDF", file(QStringLiteral("empty.pdf"), ""), false},
        {"a PDF that is gone", files.filePath(QStringLiteral("gone.pdf")), false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        store().setLastError(nullptr);
        EXPECT_EQ(commands().openFiles({test.path}), test.opened);
        EXPECT_EQ(bool(store().lastError()), !test.opened) << "a refusal is reported";
    }
}

TEST_F(FileCommandsTest, TheFirstFailureStopsTheRestAndIsReported)
{
    launch();
    const std::size_t before = store().active().size();
    const QString first = file(QStringLiteral("first.txt"), "first");
    const QString missing = files.filePath(QStringLiteral("missing.rtf"));
    const QString later = file(QStringLiteral("later.txt"), "later");

    EXPECT_FALSE(commands().openFiles({first, missing, later}));
    EXPECT_EQ(store().active().size(), before + 1);
    const std::vector<QString> texts = activeTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), QStringLiteral("first")), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), QStringLiteral("later")), texts.end());
    EXPECT_TRUE(store().lastError());
    // The imported note gets no window from a failed hand-over.
    for (const Note& note : store().active()) {
        if (textOf(note) == QStringLiteral("first")) {
            EXPECT_EQ(registry().controller(note.id), nullptr);
        }
    }
    settle();
    EXPECT_EQ(alerts.messages.size(), 1);

    // The menu's import stops the same way.
    store().setLastError(nullptr);
    dialogs->openAnswer = {missing, later};
    commands().importDocuments();
    ASSERT_EQ(dialogs->opens.size(), 1u);
    EXPECT_TRUE(dialogs->opens.front().multipleSelection);
    EXPECT_TRUE(store().lastError());
    EXPECT_EQ(store().active().size(), before + 1);
}

TEST_F(FileCommandsTest, BackupThenRestoreBringsTheNotesBackInFreshWindows)
{
    launch();
    const Note kept = setText(store().active().front(), QStringLiteral("before"));

    const QString package = files.filePath(QStringLiteral("saved.quorrinbackup"));
    dialogs->saveAnswer = FileDialogs::SaveChoice{package, 0};
    commands().backup();
    ASSERT_EQ(dialogs->saves.size(), 1u);
    EXPECT_TRUE(dialogs->saves.front().suggestedName.startsWith(QStringLiteral("Quorrin备份-")));
    EXPECT_TRUE(dialogs->saves.front().suggestedName.endsWith(QStringLiteral(".quorrinbackup")));
    EXPECT_EQ(revealed, QStringList{package});
    ASSERT_TRUE(QFileInfo(package).isDir());

    setText(kept, QStringLiteral("after"));
    registry().newNote();
    RegisteredNoteWindow* oldWindow = registry().controller(kept.id);
    ASSERT_NE(oldWindow, nullptr);

    // Declining changes nothing.
    confirmAnswer = false;
    dialogs->openAnswer = {package};
    commands().restoreBackup();
    EXPECT_EQ(questions, (QStringList{FileCommands::restoreQuestion, FileCommands::restoreInformation,
                                      QStringLiteral("恢复"), QStringLiteral("取消")}));
    EXPECT_EQ(store().active().size(), 2u);
    EXPECT_EQ(registry().controller(kept.id), oldWindow);

    confirmAnswer = true;
    commands().restoreBackup();
    settle();
    EXPECT_EQ(activeTexts(), std::vector<QString>{QStringLiteral("before")});
    ASSERT_EQ(registry().controllers().size(), 1u);
    EXPECT_NE(registry().controllers().front(), oldWindow);
    EXPECT_EQ(registry().controllers().front()->noteID(), kept.id);
    EXPECT_FALSE(store().lastError());
}

TEST_F(FileCommandsTest, AFailedRestoreIsReportedAndLeavesTheWindowsOpen)
{
    launch();
    const Note note = setText(store().active().front(), QStringLiteral("current"));
    RegisteredNoteWindow* window = registry().controller(note.id);
    const QString broken = files.filePath(QStringLiteral("broken.quorrinbackup"));
    QDir().mkpath(broken);
    file(QStringLiteral("broken.quorrinbackup/manifest.json"), "{ not json");

    EXPECT_FALSE(commands().openFiles({broken}));
    EXPECT_EQ(questions.size(), 4);
    EXPECT_TRUE(store().lastError());
    EXPECT_EQ(registry().controller(note.id), window);
    EXPECT_EQ(activeTexts(), std::vector<QString>{QStringLiteral("current")});

    // Declining a backup handed over is an answer, not a failure.
    confirmAnswer = false;
    EXPECT_TRUE(commands().openFiles({broken}));
}

TEST_F(FileCommandsTest, ABackupWithAMissingAttachmentNamesIt)
{
    launch();
    Note note = store().active().front();
    Attachment attachment = store().importAttachment(image(QStringLiteral("Holiday.png")));
    attachment.originalFilename = QStringLiteral("Holiday.png");
    Block block;
    block.kind = BlockKind::Image;
    block.attachment = attachment;
    note.blocks.push_back(block);
    store().update(note, true, true);
    ASSERT_TRUE(QFile::remove(store().root() + QStringLiteral("/Attachments/") + attachment.relativePath));

    dialogs->saveAnswer = FileDialogs::SaveChoice{files.filePath(QStringLiteral("b.quorrinbackup")), 0};
    commands().backup();
    ASSERT_EQ(alerts.messages.size(), 1);
    EXPECT_TRUE(alerts.details.front().contains(QStringLiteral("Holiday.png")));
    EXPECT_EQ(revealed.size(), 1);

    // A cancelled panel writes nothing and reveals nothing.
    dialogs->saveAnswer.reset();
    commands().backup();
    EXPECT_EQ(revealed.size(), 1);
}

TEST_F(FileCommandsTest, ABackupTheFileManagerCannotShowIsToldWithWhereItWasWritten)
{
    launch();
    const QString package = files.filePath(QStringLiteral("shown-nowhere.quorrinbackup"));
    dialogs->saveAnswer = FileDialogs::SaveChoice{package, 0};
    revealFailure = QStringLiteral("无法在文件管理器中显示“shown-nowhere.quorrinbackup”");
    commands().backup();
    ASSERT_EQ(alerts.messages, QStringList{FileCommands::backupWrittenMessage});
    EXPECT_TRUE(alerts.details.front().contains(package)) << alerts.details.front().toStdString();
    EXPECT_TRUE(alerts.details.front().contains(revealFailure));
}

TEST_F(FileCommandsTest, ADocumentDroppedIntoAnEditorBecomesAShownNoteOfItsOwn)
{
    launch();
    RegisteredNoteWindow* window = registry().controllers().front();
    const QUuid host = window->noteID();
    ASSERT_NE(window->editor(), nullptr);

    window->editor()->importFiles({file(QStringLiteral("letter.rtf"), "{\\rtf1\\ansi Dear friend}")});
    ASSERT_EQ(store().active().size(), 2u);
    for (const Note& note : store().active()) {
        EXPECT_NE(registry().controller(note.id), nullptr);
        if (note.id != host) {
            EXPECT_EQ(textOf(note), QStringLiteral("Dear friend"));
        }
    }
}

TEST_F(FileCommandsTest, BackupNamesCarryTheUtcMomentWithoutColons)
{
    const QDateTime berlin(QDate(2026, 12, 7), QTime(10, 5, 7), QTimeZone("Europe/Berlin"));
    const QString name = FileCommands::backupName(berlin);
    EXPECT_EQ(name, QStringLiteral("Quorrin备份-2026-12-07T09-05-07Z.quorrinbackup"));
    EXPECT_FALSE(name.contains(u':'));
}

TEST_F(FileCommandsTest, TheNoteMenuExportsThroughTheSharedDocumentPanel)
{
    launch();
    auto* window = dynamic_cast<ControllerNoteWindow*>(registry().controllers().front());
    ASSERT_NE(window, nullptr);
    const std::unique_ptr<QMenu> menu = window->controller().makeNoteMenu();
    for (QAction* action : menu->actions()) {
        if (action->text() == QStringLiteral("导出…"))
            action->trigger();
    }
    ASSERT_EQ(dialogs->saves.size(), 1u);
    EXPECT_TRUE(dialogs->saves.front().suggestedName.endsWith(QStringLiteral(".rtfd")));

    // Without a current note the export command asks nothing.
    commands().exportCurrent();
    EXPECT_EQ(dialogs->saves.size(), registry().current() ? 2u : 1u);
}

} // namespace
} // namespace quorrin

namespace quorrin {
namespace {

TEST_F(FileCommandsTest, OpeningADocumentLeavesHiddenNotesHidden)
{
    launch();
    Note hidden = store().create(AttributedString(QStringLiteral("hidden")));
    hidden.isHidden = true;
    store().update(hidden, true, true);
    ASSERT_EQ(registry().controller(hidden.id), nullptr);
    settle(); // the launch's note is active, and no longer brings every note forward
    const std::size_t windowsBefore = registry().controllers().size();

    const std::size_t notesBefore = store().active().size();
    EXPECT_TRUE(commands().openFiles({file(QStringLiteral("new.txt"), "imported")}));
    // The document is stored in a turn of its own, and its window made in
    // the one after: none of them holds the other's work.
    EXPECT_EQ(store().active().size(), notesBefore);
    QCoreApplication::processEvents();
    EXPECT_EQ(store().active().size(), notesBefore + 1);
    EXPECT_EQ(registry().controllers().size(), windowsBefore);
    settle();
    EXPECT_TRUE(store().note(hidden.id)->isHidden);
    EXPECT_EQ(registry().controller(hidden.id), nullptr);
    // The imported note is shown.
    for (const Note& note : store().active()) {
        if (textOf(note) == QStringLiteral("imported")) {
            EXPECT_NE(registry().controller(note.id), nullptr);
        }
    }
}

} // namespace
} // namespace quorrin
