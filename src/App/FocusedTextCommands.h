#pragma once

#include "App/MenuModel.h"
#include "Core/Text/AttributedString.h"

#include <QString>

#include <functional>
#include <optional>

class QColor;
class QFont;
class QWidget;

namespace quorrin {

class TextFormatTarget;
class TitleFormatTarget;

// The edit and format commands of the menus act on the text that has the
// keyboard focus: a note's body (through its editor, so every change is one
// undo step of the note) or the title field being edited. With no text in
// focus they do nothing.
class FocusedTextCommands {
public:
    // The widget with the keyboard focus; the application's when not set.
    std::function<QWidget*()> focusWidget;
    // The title field's format target of the note window that holds `field`.
    std::function<TitleFormatTarget*(QWidget* field)> titleTarget;
    // Dialogs; the desktop's when not set. Each answers none when cancelled.
    std::function<std::optional<QFont>(const QFont& current)> chooseFont;
    std::function<std::optional<QColor>(const QColor& current)> chooseColor;
    // Asks for a link address starting from `current`; an empty answer
    // removes the link.
    std::function<std::optional<QString>(const QString& current)> chooseLink;

    void undo();
    void redo();
    // What undo and redo would act on in the text in focus.
    menumodel::EditHistory history() const;
    void cut();
    void copy();
    void paste();
    void selectAll();

    void toggleBold();
    void toggleItalic();
    void toggleUnderline();
    void toggleStrikethrough();
    void bigger();
    void smaller();
    void showFonts();
    void showColors();
    void alignLeft();
    void alignCenter();
    void alignRight();
    void editLink();

private:
    QWidget* focused() const;
    TextFormatTarget* bodyTarget() const;
    TitleFormatTarget* titleFormat() const;
    // The focused body, else the title being edited.
    TextFormatTarget* formatTarget() const;
    void align(TextAlignment alignment);
};

} // namespace quorrin
