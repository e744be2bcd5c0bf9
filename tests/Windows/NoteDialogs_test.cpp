#include "Windows/NoteDialogs.h"

#include "Platform/DialogFolder.h"
#include "Platform/WindowLevel.h"
#include "Support/FileDialogAnswer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace quorrin {
namespace {

// The note windows' own questions open in front of the note that asks, even
// when it floats above other windows.
TEST(NoteDialogs, QuestionsOpenInFrontOfTheFloatingNoteThatAsks)
{
    QWidget note;
    WindowLevelAdapter::apply(note, windowLevel::floating);
    note.show();
    DialogFolder folder;

    const std::pair<const char*, std::function<void()>> questions[] = {
        {"deletion", [&] { notedialogs::askDeletion(&note); }},
        {"attachments", [&] { notedialogs::askAttachments(&note, folder); }},
        {"opacity", [&] { notedialogs::askOpacity(&note, 80); }},
    };
    for (const auto& [name, ask] : questions) {
        SCOPED_TRACE(name);
        bool shown = false;
        QWidget* parent = nullptr;
        int level = windowLevel::normal;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            shown = true;
            parent = modal->parentWidget();
            level = WindowLevelAdapter::levelOf(*modal);
            modal->close();
        });
        ask();
        ASSERT_TRUE(shown);
        EXPECT_EQ(parent, &note);
        EXPECT_GT(level, windowLevel::floating);
    }
}

// Any kind of file may be inserted: the note decides per file where it goes.
TEST(NoteDialogs, TheAttachmentDialogOffersEveryKindOfFile)
{
    QWidget note;
    note.show();
    QString title;
    QStringList filters;
    std::optional<QFileDialog::FileMode> mode;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        mode = dialog->fileMode();
        dialog->reject();
    });
    DialogFolder folder;
    EXPECT_TRUE(notedialogs::askAttachments(&note, folder).isEmpty());
    EXPECT_EQ(title, QStringLiteral("选择图片或 PDF"));
    EXPECT_EQ(mode, QFileDialog::ExistingFiles);
    for (const QString& filter : filters)
        EXPECT_TRUE(filter.endsWith(QStringLiteral("(*)"))) << filter.toStdString();
}

TEST(NoteDialogs, TheAttachmentDialogOpensInTheLastFolderUsedAndNeverTheWorkingDirectory)
{
    testing::DialogPlaces places(QStringLiteral("a.png"));
    QWidget note;
    note.show();
    DialogFolder folder(places.home.path());

    using testing::answerFileDialog;
    QString openedIn;
    answerFileDialog(openedIn, places.file);
    EXPECT_EQ(notedialogs::askAttachments(&note, folder), QStringList{places.file});
    EXPECT_EQ(openedIn, places.home.path());

    answerFileDialog(openedIn);
    EXPECT_TRUE(notedialogs::askAttachments(&note, folder).isEmpty());
    EXPECT_EQ(openedIn, places.chosen.path());

    // A folder that went away is not opened.
    ASSERT_TRUE(places.chosen.remove());
    answerFileDialog(openedIn);
    notedialogs::askAttachments(&note, folder);
    EXPECT_EQ(openedIn, places.home.path());
}

} // namespace
} // namespace quorrin
