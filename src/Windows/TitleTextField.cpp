#include "Windows/TitleTextField.h"

#include "Editor/TextDocumentConversion.h"
#include "Windows/TitleTypingHistory.h"

#include <QFocusEvent>
#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPalette>
#include <QScopedValueRollback>
#include <QTimer>

namespace quorrin {

TitleTextField::TitleTextField(QWidget* parent)
    : QTextEdit(parent)
    , typing_(new TitleTypingHistory(*document(), this))
{
    setFrameShape(QFrame::NoFrame);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setLineWrapMode(QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    setAcceptRichText(true);
    document()->setDocumentMargin(0);
    viewport()->setAutoFillBackground(false);
    QPalette transparent = palette();
    transparent.setColor(QPalette::Base, Qt::transparent);
    setPalette(transparent);
    connect(this, &QTextEdit::textChanged, this, [this] {
        if (settingValue_)
            return;
        shown_.reset();
        if (editing_)
            Q_EMIT edited();
    });
}

void TitleTextField::endEditing()
{
    if (hasFocus())
        clearFocus();
}

AttributedString TitleTextField::attributedValue() const
{
    return textdoc::contents(*document());
}

bool TitleTextField::showsAlready(Value value)
{
    if (shown_ == value)
        return true;
    shown_ = std::move(value);
    return false;
}

void TitleTextField::setAttributedValue(const AttributedString& value)
{
    if (showsAlready(value))
        return;
    const QScopedValueRollback guard(settingValue_, true);
    textdoc::setContents(*document(), value);
    // The shown name is where the field's typing history starts: undo never
    // goes back past it.
    typing_->restart();
}

void TitleTextField::setPlainValue(const QString& text, const QFont& font, const QColor& color)
{
    if (showsAlready(PlainValue{text, font, color}))
        return;
    const QScopedValueRollback guard(settingValue_, true);
    setCurrentFont(font);
    setFont(font);
    QTextCharFormat format;
    format.setFont(font);
    format.setForeground(color);
    document()->clear();
    QTextCursor cursor(document());
    cursor.insertText(text, format);
    setCurrentCharFormat(format);
    typing_->restart();
}

void TitleTextField::undoTyping()
{
    placeCaret(typing_->undo());
}

void TitleTextField::redoTyping()
{
    placeCaret(typing_->redo());
}

void TitleTextField::placeCaret(int position)
{
    if (position < 0)
        return;
    QTextCursor caret = textCursor();
    caret.setPosition(std::min(position, document()->characterCount() - 1));
    setTextCursor(caret);
}

QSize TitleTextField::sizeHint() const
{
    const int lineHeight = fontMetrics().height();
    return {int(document()->idealWidth()) + 4, lineHeight + 2};
}

QSize TitleTextField::minimumSizeHint() const
{
    return {0, fontMetrics().height() + 2};
}

void TitleTextField::mousePressEvent(QMouseEvent* event)
{
    QTextEdit::mousePressEvent(event);
    // The context object drops the call when the field is gone by then.
    QTimer::singleShot(0, this, [this] {
        if (onEdit)
            onEdit();
    });
}

void TitleTextField::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        leave();
        return;
    }
    if (event->matches(QKeySequence::Undo)) {
        undoTyping();
        return;
    }
    if (event->matches(QKeySequence::Redo)) {
        redoTyping();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

bool TitleTextField::focusNextPrevChild(bool)
{
    // Tab and Shift+Tab: the header's buttons are no stops on the way.
    leave();
    return true;
}

void TitleTextField::leave()
{
    Q_EMIT leaving();
    endEditing();
}

void TitleTextField::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu(event->pos());
    // The standard entries reach the document's own history, which is off.
    for (QAction* action : menu->actions()) {
        const bool undo = action->objectName() == QLatin1String("edit-undo");
        if (!undo && action->objectName() != QLatin1String("edit-redo"))
            continue;
        action->disconnect();
        action->setEnabled(undo ? typing_->canUndo() : typing_->canRedo());
        connect(action, &QAction::triggered, this, undo ? &TitleTextField::undoTyping : &TitleTextField::redoTyping);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TitleTextField::focusInEvent(QFocusEvent* event)
{
    QTextEdit::focusInEvent(event);
    if (!editing_) {
        editing_ = true;
        Q_EMIT editingBegan();
    }
}

void TitleTextField::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    // A popup (a context menu, the format bar's menus) leaves the edit running.
    if (editing_ && event->reason() != Qt::PopupFocusReason) {
        editing_ = false;
        // An edit may have changed what typing would use without changing
        // the text: the next value set is put in place whole.
        shown_.reset();
        Q_EMIT editingEnded();
    }
}

} // namespace quorrin
