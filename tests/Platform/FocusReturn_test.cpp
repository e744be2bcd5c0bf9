#include "Platform/FocusReturn.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace quorrin {
namespace {

using focusreturn::ActiveAfter;
using focusreturn::Closing;
using focusreturn::KeyboardFocus;

// The focus goes back two turns of the event loop after a window hid.
void letTheFocusReturn()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

struct Case {
    const char* name;
    Closing closing;
    bool returns;
};

TEST(FocusReturn, TheOwnerGetsTheFocusBackOnlyWhenNobodyElseChoseIt)
{
    const Case cases[] = {
        // The window manager parked the focus nowhere: the note takes it back,
        // whether or not the closed panel ever had the focus.
        {"nobody, panel was active", {true, true, false, ActiveAfter::None, KeyboardFocus::Nobody}, true},
        {"nobody, panel never active", {true, false, false, ActiveAfter::None, KeyboardFocus::Nobody}, true},
        {"still the closed one", {true, true, false, ActiveAfter::Closed, KeyboardFocus::Nobody}, true},
        // The window manager handed the focus of a window the user worked in
        // to another application: the note takes it back; a dialog cannot
        // have been left by a click elsewhere.
        {"foreign, panel was active", {true, true, false, ActiveAfter::None, KeyboardFocus::Foreign}, true},
        {"foreign after a dialog", {true, false, true, ActiveAfter::None, KeyboardFocus::Foreign}, true},
        {"foreign, panel never active", {true, false, false, ActiveAfter::None, KeyboardFocus::Foreign}, false},
        // The user had just pressed in another application (that press
        // closed it): it keeps the focus, whoever holds it now.
        {"pressed elsewhere, nobody now",
         {true, true, false, ActiveAfter::None, KeyboardFocus::Nobody, true}, false},
        {"pressed elsewhere, foreign now",
         {true, true, false, ActiveAfter::None, KeyboardFocus::Foreign, true}, false},
        {"pressed elsewhere, other note now", {true, true, false, ActiveAfter::Other, KeyboardFocus::Ours, true}, false},
        // Another note: the window manager's pick after a dialog or a panel
        // the user worked in; the user's own pick otherwise.
        {"other after a dialog", {true, false, true, ActiveAfter::Other, KeyboardFocus::Ours}, true},
        {"other after an active panel", {true, true, false, ActiveAfter::Other, KeyboardFocus::Ours}, true},
        {"other clicked while panel idle", {true, false, false, ActiveAfter::Other, KeyboardFocus::Ours}, false},
        // A row chosen in the panel opened another window of ours: it takes
        // the keyboard, wherever the window manager put it meanwhile.
        {"another opened, nobody now",
         {true, true, false, ActiveAfter::None, KeyboardFocus::Nobody, false, true}, false},
        {"another opened, other note now",
         {true, true, false, ActiveAfter::Other, KeyboardFocus::Ours, false, true}, false},
        // Nothing to do.
        {"owner already active", {true, true, true, ActiveAfter::Owner, KeyboardFocus::Ours}, false},
        {"owner hidden", {false, true, true, ActiveAfter::None, KeyboardFocus::Nobody}, false},
        // Off X11 only what the application knows counts.
        {"unknown, panel was active", {true, true, false, ActiveAfter::None, KeyboardFocus::Unknown}, true},
        {"unknown, panel idle", {true, false, false, ActiveAfter::None, KeyboardFocus::Unknown}, false},
    };
    for (const Case& test : cases)
        EXPECT_EQ(focusreturn::shouldReturn(test.closing), test.returns) << test.name;
}

TEST(FocusReturn, AClosedDialogGivesTheFocusBackToTheWidgetThatHadIt)
{
    QWidget note;
    auto* layout = new QVBoxLayout(&note);
    auto* title = new QLineEdit(&note);
    auto* text = new QLineEdit(&note);
    layout->addWidget(title);
    layout->addWidget(text);
    note.show();
    QApplication::setActiveWindow(&note);
    text->setFocus();
    ASSERT_TRUE(text->hasFocus());

    QWidget dialog;
    FocusReturn::watch(dialog, *text);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    dialog.setWindowModality(Qt::ApplicationModal); // closed by the user: modal
    title->setFocus();                                // meanwhile the note's focus moved
    dialog.hide();
    QApplication::setActiveWindow(nullptr);
    letTheFocusReturn();

    EXPECT_EQ(QApplication::activeWindow(), &note);
    EXPECT_TRUE(text->hasFocus());
}

// Counts the activations of the window it watches.
class Activations final : public QObject {
public:
    explicit Activations(QWidget& window) { window.installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::WindowActivate;
        return false;
    }
};

// A panel's row opens another window for the same note as the panel closes:
// the note never takes the keyboard back from it, whether it shows just
// before the panel hides, just after, or on the next turn of the event loop.
TEST(FocusReturn, AWindowOpenedAsThePanelClosesKeepsTheFocus)
{
    QWidget note;
    note.show();
    enum class Opens { Before, After, NextTurn };
    for (const Opens opens : {Opens::Before, Opens::After, Opens::NextTurn}) {
        QApplication::setActiveWindow(&note);
        QWidget panel;
        FocusReturn::watch(panel, note);
        panel.show();
        QApplication::setActiveWindow(&panel);
        letTheFocusReturn(); // the preview of the row before has gone
        QWidget preview;
        FocusReturn::watch(preview, note);
        const Activations noteActivations(note);
        if (opens == Opens::Before)
            preview.show();
        panel.hide();
        if (opens == Opens::After)
            preview.show();
        if (opens == Opens::NextTurn)
            QTimer::singleShot(0, &preview, [&] { preview.show(); });
        QApplication::setActiveWindow(nullptr);
        letTheFocusReturn();
        EXPECT_EQ(noteActivations.count, 0) << int(opens);
    }
}

// The window manager hides a panel for a while and shows it again (KWin does
// so with a panel that maps while another window of ours is active): the
// panel has not closed and keeps the keyboard; closed afterwards, it gives
// the keyboard back.
TEST(FocusReturn, APanelTheWindowManagerHidesForAWhileHasNotClosed)
{
    QWidget note;
    note.show();
    QApplication::setActiveWindow(&note);
    QWidget panel;
    FocusReturn::watch(panel, note);
    panel.show();
    QApplication::setActiveWindow(&panel);
    QCoreApplication::processEvents(); // the platform's reports of the showing
    const Activations noteActivations(note);

    panel.setWindowState(Qt::WindowMinimized); // reported as a spontaneous hide
    panel.setWindowState(Qt::WindowNoState);
    letTheFocusReturn();
    EXPECT_EQ(noteActivations.count, 0);
    EXPECT_EQ(QApplication::activeWindow(), &panel);

    panel.hide();
    QApplication::setActiveWindow(nullptr);
    letTheFocusReturn();
    EXPECT_EQ(QApplication::activeWindow(), &note);
}

TEST(FocusReturn, AClosedNoteGivesTheFocusToTheNoteActiveBeforeIt)
{
    QWidget notes[3];
    for (QWidget& note : notes) {
        FocusReturn::fallBackTo(note);
        FocusReturn::watch(note);
        note.show();
        QApplication::setActiveWindow(&note);
        QCoreApplication::processEvents();
    }
    // The last one closes, then the one before it: each time the note
    // active before takes the focus, not the first one made.
    for (int closing : {2, 1}) {
        ASSERT_EQ(QApplication::activeWindow(), &notes[closing]);
        notes[closing].hide();
        QApplication::setActiveWindow(nullptr);
        letTheFocusReturn();
        EXPECT_EQ(QApplication::activeWindow(), &notes[closing - 1]) << "after closing note " << closing;
    }
}

} // namespace
} // namespace quorrin
