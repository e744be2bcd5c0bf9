#pragma once

#include "Core/Text/AttributedString.h"

#include <QTextEdit>

#include <QColor>
#include <QFont>

#include <functional>
#include <optional>
#include <variant>

namespace quorrin {

class TitleTypingHistory;

// The note's name: a borderless, single-line rich-text field on the header.
// Editing runs while the field has the keyboard focus; Return, Enter, Tab and
// Shift+Tab end it and hand the keyboard on (`leaving`). After a click has gone to the field (which starts editing) `onEdit`
// runs, one event-loop turn later.
class TitleTextField : public QTextEdit {
    Q_OBJECT

public:
    explicit TitleTextField(QWidget* parent = nullptr);

    std::function<void()> onEdit;

    bool isEditing() const { return editing_; }
    // Ends editing: the focus leaves the field.
    void endEditing();

    AttributedString attributedValue() const;
    // Setting the value the field shows already (as last set, and not
    // changed since) leaves the field as it is: the window sets its title
    // after every change of its note. A value set is no typing: the field's
    // typing history starts after it.
    void setAttributedValue(const AttributedString& value);
    // Plain text in one font and colour.
    void setPlainValue(const QString& text, const QFont& font, const QColor& color);

    // The field's typing history (Ctrl+Z, Ctrl+Shift+Z, the context menu and
    // the edit menu): formats set from the title's format bar are no steps
    // of it.
    void undoTyping();
    void redoTyping();
    const TitleTypingHistory& typingHistory() const { return *typing_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void editingBegan();
    // The user changed the text while editing.
    void edited();
    void editingEnded();
    // A key ended editing: whoever takes the keyboard next takes it now;
    // otherwise the field just gives the focus up.
    void leaving();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    struct PlainValue {
        QString text;
        QFont font;
        QColor color;
        friend bool operator==(const PlainValue&, const PlainValue&) = default;
    };
    using Value = std::variant<AttributedString, PlainValue>;
    // Whether `value` is what the field shows; otherwise remembers it as
    // shown from now on, for the caller to put in place.
    bool showsAlready(Value value);

    void placeCaret(int position);
    void leave();

    TitleTypingHistory* typing_;
    bool editing_ = false;
    bool settingValue_ = false;
    // The value last set, until anything else changes the field's text.
    std::optional<Value> shown_;
};

} // namespace quorrin
