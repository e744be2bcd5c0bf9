#include "Windows/NoteDialogs.h"

#include "Platform/DialogFolder.h"
#include "Platform/WindowLevel.h"
#include "Support/FileDialogAnswer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
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
        {"opacity", [&] { notedialogs::askOpacity(&note, 80, true); }},
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

// Without a compositor the paper shows opaque whatever the slider says: the
// dialog tells why, and only then.
TEST(NoteDialogs, TheOpacityDialogSaysTransparencyNeedsACompositorOnlyWithoutOne)
{
    QWidget note;
    note.show();
    for (const bool composited : {true, false}) {
        SCOPED_TRACE(composited);
        std::optional<QString> notice;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            const auto* label = modal->findChild<QLabel*>(QStringLiteral("uncompositedNotice"));
            notice = label && label->isVisibleTo(modal) ? label->text() : QString();
            modal->close();
        });
        EXPECT_EQ(notedialogs::askOpacity(&note, 40, composited), std::nullopt);
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->contains(QStringLiteral("窗口合成")), !composited);
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
