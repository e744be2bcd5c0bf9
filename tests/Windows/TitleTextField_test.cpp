#include "Windows/TitleTextField.h"
#include "Windows/TitleTypingHistory.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTextDocument>

namespace quorrin {
namespace {

// A name the window shows is no typing: undo in the field never takes it
// back, and typing after it is one step.
TEST(TitleTextField, UndoNeverGoesBackPastTheShownName)
{
    const std::pair<const char*, std::function<void(TitleTextField&)>> setters[] = {
        {"rich", [](TitleTextField& field) { field.setAttributedValue(AttributedString(QStringLiteral("Plan"))); }},
        {"plain",
         [](TitleTextField& field) { field.setPlainValue(QStringLiteral("Plan"), field.font(), Qt::black); }},
    };
    for (const auto& [name, set] : setters) {
        SCOPED_TRACE(name);
        TitleTextField field;
        set(field);
        EXPECT_FALSE(field.typingHistory().canUndo());
        field.moveCursor(QTextCursor::End);
        QTest::keyClicks(&field, QStringLiteral("s!"));
        QTest::keyClick(&field, Qt::Key_Backspace);
        ASSERT_EQ(field.toPlainText(), QStringLiteral("Plans"));
        QTest::keyClick(&field, Qt::Key_Z, Qt::ControlModifier); // the deletion
        EXPECT_EQ(field.toPlainText(), QStringLiteral("Plans!"));
        field.undoTyping(); // the typing, as one step
        EXPECT_EQ(field.toPlainText(), QStringLiteral("Plan"));
        field.undoTyping();
        EXPECT_EQ(field.toPlainText(), QStringLiteral("Plan"));
        QTest::keyClick(&field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(field.toPlainText(), QStringLiteral("Plans!"));
        EXPECT_EQ(field.textCursor().position(), 6);
    }
}


// Return, Enter, Tab and Shift+Tab end the edit and hand the keyboard on,
// putting nothing into the name.
TEST(TitleTextField, KeysThatEndTheEditHandTheKeyboardOn)
{
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Return, Qt::NoModifier}, std::pair{Qt::Key_Enter, Qt::NoModifier},
                                         std::pair{Qt::Key_Tab, Qt::NoModifier}, std::pair{Qt::Key_Tab, Qt::ShiftModifier}}) {
        SCOPED_TRACE(QKeySequence(key | modifiers).toString().toStdString());
        TitleTextField field;
        field.setPlainValue(QStringLiteral("Plan"), field.font(), Qt::black);
        int leaving = 0;
        QObject::connect(&field, &TitleTextField::leaving, [&] { ++leaving; });
        QTest::keyClick(&field, key, modifiers);
        EXPECT_EQ(leaving, 1);
        EXPECT_EQ(field.toPlainText(), QStringLiteral("Plan"));
    }
}

} // namespace
} // namespace quorrin
