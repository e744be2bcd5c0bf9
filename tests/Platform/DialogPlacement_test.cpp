#include "Platform/DialogPlacement.h"

#include "Platform/AlertPresenter.h"
#include "Platform/WindowLevel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

namespace quorrin {
namespace {

// Whether a shown dialog is in front of a note on the highest note level.
void expectInFrontOfNotes(const QWidget& dialog, const QWidget* concerned)
{
    EXPECT_GT(WindowLevelAdapter::levelOf(dialog), windowLevel::floating);
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(dialog.isWindow());
    if (concerned) {
        EXPECT_EQ(dialog.parentWidget(), concerned);
    }
}

TEST(DialogPlacement, DialogsGoAboveTheNoteLevelsAndBelongToTheirNote)
{
    QWidget note;
    WindowLevelAdapter::apply(note, windowLevel::floating);
    note.show();

    QMessageBox box;
    placeInFrontOfNotes(box, &note);
    expectInFrontOfNotes(box, &note);

    QFileDialog dialog(nullptr);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    placeInFrontOfNotes(dialog, &note);
    expectInFrontOfNotes(dialog, &note);

    QMessageBox withoutNote;
    placeInFrontOfNotes(withoutNote, nullptr);
    expectInFrontOfNotes(withoutNote, nullptr);
}

TEST(DialogPlacement, TheAlertOfTheActiveNoteOpensInFrontOfIt)
{
    QWidget note;
    WindowLevelAdapter::apply(note, windowLevel::floating);
    note.show();
    QApplication::setActiveWindow(&note);

    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        seen = true;
        expectInFrontOfNotes(*modal, &note);
        modal->close();
    });
    MessageBoxAlertPresenter().present(QStringLiteral("无法写入文件"), QString());
    EXPECT_TRUE(seen);
}

} // namespace
} // namespace quorrin
