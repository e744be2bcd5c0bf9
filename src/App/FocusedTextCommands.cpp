#include "App/FocusedTextCommands.h"

#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Platform/TextStyleConversion.h"
#include "Windows/TitleFormatTarget.h"
#include "Windows/TitleTextField.h"
#include "Windows/TitleTypingHistory.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QTextDocument>
#include <QTextEdit>
#include <QUndoStack>

namespace quorrin {

namespace {

BlockTextView* bodyText(QWidget* widget)
{
    auto* text = qobject_cast<BlockTextView*>(widget);
    return text && text->editor ? text : nullptr;
}

} // namespace

QWidget* FocusedTextCommands::focused() const
{
    return focusWidget ? focusWidget() : QApplication::focusWidget();
}

TextFormatTarget* FocusedTextCommands::bodyTarget() const
{
    BlockTextView* text = bodyText(focused());
    return text ? text->editor.data() : nullptr;
}

TitleFormatTarget* FocusedTextCommands::titleFormat() const
{
    auto* field = qobject_cast<TitleTextField*>(focused());
    if (!field || !field->isEditing() || !titleTarget)
        return nullptr;
    return titleTarget(field);
}

void FocusedTextCommands::undo()
{
    QWidget* widget = focused();
    if (BlockTextView* text = bodyText(widget))
        text->editor->undo();
    else if (auto* title = qobject_cast<TitleTextField*>(widget))
        title->undoTyping();
    else if (auto* edit = qobject_cast<QTextEdit*>(widget))
        edit->undo();
    else if (auto* line = qobject_cast<QLineEdit*>(widget))
        line->undo();
}

void FocusedTextCommands::redo()
{
    QWidget* widget = focused();
    if (BlockTextView* text = bodyText(widget))
        text->editor->redo();
    else if (auto* title = qobject_cast<TitleTextField*>(widget))
        title->redoTyping();
    else if (auto* edit = qobject_cast<QTextEdit*>(widget))
        edit->redo();
    else if (auto* line = qobject_cast<QLineEdit*>(widget))
        line->redo();
}

menumodel::EditHistory FocusedTextCommands::history() const
{
    QWidget* widget = focused();
    menumodel::EditHistory history;
    if (BlockTextView* text = bodyText(widget)) {
        const QUndoStack& steps = *text->editor->history();
        history = {steps.canUndo(), steps.undoText(), steps.canRedo(), steps.redoText()};
    } else if (auto* title = qobject_cast<TitleTextField*>(widget)) {
        history.canUndo = title->typingHistory().canUndo();
        history.canRedo = title->typingHistory().canRedo();
    } else if (auto* edit = qobject_cast<QTextEdit*>(widget)) {
        history.canUndo = edit->document()->isUndoAvailable();
        history.canRedo = edit->document()->isRedoAvailable();
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        history.canUndo = line->isUndoAvailable();
        history.canRedo = line->isRedoAvailable();
    }
    return history;
}

void FocusedTextCommands::cut()
{
    QWidget* widget = focused();
    if (auto* edit = qobject_cast<QTextEdit*>(widget))
        edit->cut();
    else if (auto* line = qobject_cast<QLineEdit*>(widget))
        line->cut();
}

void FocusedTextCommands::copy()
{
    QWidget* widget = focused();
    if (auto* edit = qobject_cast<QTextEdit*>(widget))
        edit->copy();
    else if (auto* line = qobject_cast<QLineEdit*>(widget))
        line->copy();
}

void FocusedTextCommands::paste()
{
    QWidget* widget = focused();
    if (auto* edit = qobject_cast<QTextEdit*>(widget))
        edit->paste();
    else if (auto* line = qobject_cast<QLineEdit*>(widget))
        line->paste();
}

void FocusedTextCommands::selectAll()
{
    QWidget* widget = focused();
    if (auto* body = qobject_cast<BlockTextView*>(widget); body && body->editor)
        body->editor->showWholeText(); // all of a long note, not the part shown so far
    if (auto* edit = qobject_cast<QTextEdit*>(widget))
        edit->selectAll();
    else if (auto* line = qobject_cast<QLineEdit*>(widget))
        line->selectAll();
}

TextFormatTarget* FocusedTextCommands::formatTarget() const
{
    if (TextFormatTarget* body = bodyTarget())
        return body;
    return titleFormat();
}

void FocusedTextCommands::toggleBold()
{
    if (TextFormatTarget* target = formatTarget())
        target->toggleBold();
}

void FocusedTextCommands::toggleItalic()
{
    if (TextFormatTarget* target = formatTarget())
        target->toggleItalic();
}

void FocusedTextCommands::toggleUnderline()
{
    if (TextFormatTarget* target = formatTarget())
        target->toggleUnderline();
}

void FocusedTextCommands::toggleStrikethrough()
{
    // The note's body alone answers it; the title has the format bar's button.
    if (BlockTextView* text = bodyText(focused()))
        text->toggleStrikethrough();
}

void FocusedTextCommands::bigger()
{
    if (TextFormatTarget* target = formatTarget())
        target->adjustFontSize(1);
}

void FocusedTextCommands::smaller()
{
    if (TextFormatTarget* target = formatTarget())
        target->adjustFontSize(-1);
}

void FocusedTextCommands::showFonts()
{
    TextFormatTarget* target = formatTarget();
    if (!target)
        return;
    const TextFormat format = target->currentTextFormat();
    QFont current;
    current.setPointSizeF(format.font.pointSize);
    current.setBold(format.bold);
    current.setItalic(format.italic);
    const std::optional<QFont> chosen = chooseFont ? chooseFont(current) : [&]() -> std::optional<QFont> {
        bool accepted = false;
        const QFont font = QFontDialog::getFont(&accepted, current, focused());
        return accepted ? std::optional<QFont>(font) : std::nullopt;
    }();
    if (!chosen)
        return;
    // The format targets speak in size steps and traits.
    if (chosen->bold() != format.bold)
        target->toggleBold();
    if (chosen->italic() != format.italic)
        target->toggleItalic();
    if (chosen->pointSizeF() > 0 && chosen->pointSizeF() != format.font.pointSize)
        target->adjustFontSize(chosen->pointSizeF() - format.font.pointSize);
}

void FocusedTextCommands::showColors()
{
    TextFormatTarget* target = formatTarget();
    if (!target)
        return;
    const QColor current = toQColor(target->currentTextFormat().color, QApplication::palette());
    const std::optional<QColor> chosen = chooseColor ? chooseColor(current) : [&]() -> std::optional<QColor> {
        const QColor color = QColorDialog::getColor(current, focused());
        return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
    }();
    if (chosen)
        target->setTextColor(TextColor::fixed(fromQColor(*chosen)));
}

void FocusedTextCommands::align(TextAlignment alignment)
{
    // The title is one line of its own header: only the body aligns.
    if (BlockTextView* text = bodyText(focused()); text && !text->isReadOnly())
        text->editor->setAlignment(alignment);
}

void FocusedTextCommands::alignLeft()
{
    align(TextAlignment::Left);
}

void FocusedTextCommands::alignCenter()
{
    align(TextAlignment::Center);
}

void FocusedTextCommands::alignRight()
{
    align(TextAlignment::Right);
}

void FocusedTextCommands::editLink()
{
    BlockTextView* text = bodyText(focused());
    if (!text || text->isReadOnly() || !text->textCursor().hasSelection())
        return;
    BlockEditor* editor = text->editor;
    const QString current = editor->selectedLink();
    const std::optional<QString> chosen = chooseLink ? chooseLink(current) : [&]() -> std::optional<QString> {
        bool accepted = false;
        const QString address = QInputDialog::getText(text, QStringLiteral("超链接"),
                                                      QStringLiteral("链接地址（留空则移除链接）："), QLineEdit::Normal,
                                                      current, &accepted);
        return accepted ? std::optional<QString>(address) : std::nullopt;
    }();
    if (chosen)
        editor->setLink(chosen->trimmed());
}

} // namespace quorrin
