#include "Editor/BlockTextView.h"

#include "Editor/BlockEditor.h"
#include "Editor/EditorDocument.h"
#include "Editor/BoundedPages.h"
#include "Editor/LongRunWrapping.h"
#include "Editor/PastedText.h"
#include "Editor/TextDocumentConversion.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QTextBlock>
#include <QTextLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QUndoStack>
#include <QUrl>

namespace quorrin {
namespace {

QStringList localFiles(const QMimeData* source)
{
    QStringList files;
    if (!source || !source->hasUrls())
        return files;
    for (const QUrl& url : source->urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

const QString linkHint = QStringLiteral("按住 Ctrl 单击打开链接");

bool typesText(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    return text.front().isPrint();
}

} // namespace

BlockTextView::BlockTextView(QWidget* parent)
    : QTextEdit(parent)
{
    setAcceptRichText(true);
    setUndoRedoEnabled(false); // the editor's history holds text edits too
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // the editor lays a thin scroller over the text
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::WidgetWidth);
    new LongRunWrapping(*this);
    new BoundedPages(*this);
    viewport()->setAutoFillBackground(false);
    setAttribute(Qt::WA_InputMethodEnabled);
    QPalette colours = palette();
    QColor selection = colours.color(QPalette::Highlight);
    selection.setAlphaF(0.22f);
    colours.setColor(QPalette::Highlight, selection);
    colours.setColor(QPalette::HighlightedText, colours.color(QPalette::Text));
    colours.setColor(QPalette::Base, Qt::transparent);
    setPalette(colours);
    setAccessibleName(QStringLiteral("便笺正文，使用 Ctrl Shift T 转为待办；右键打开内容块菜单"));
}

QPointF BlockTextView::contentPoint(QPoint viewportPoint) const
{
    return QPointF(viewportPoint) + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void BlockTextView::unmarkText()
{
    QGuiApplication::inputMethod()->commit();
    const QString composing = textCursor().block().layout()->preeditAreaText();
    if (composing.isEmpty())
        return;
    QInputMethodEvent commit;
    commit.setCommitString(composing);
    inputMethodEvent(&commit);
    QTimer::singleShot(0, this, [this] {
        if (editor)
            editor->flush();
    });
}

bool BlockTextView::moveOffAttachment()
{
    if (!editor || !editor->isAttachmentAtCursor() || editor->hasMarkedText())
        return false;
    const auto current = editor->currentBlock();
    return current && editor->insert(*current, false) == ChangeResult::Applied;
}

void BlockTextView::adoptLineBreakTyping()
{
    const QTextCursor caret = textCursor();
    const QTextBlock block = caret.block();
    const bool afterFinalBreak = !caret.hasSelection() && block.length() == 1 && !block.next().isValid()
        && block.position() > 0;
    if (!afterFinalBreak || currentCharFormat().hasProperty(textdoc::BlockID))
        return;
    QTextCursor lineBreak(document());
    lineBreak.setPosition(block.position() - 1);
    lineBreak.setPosition(block.position(), QTextCursor::KeepAnchor);
    setCurrentCharFormat(lineBreak.charFormat());
}

void BlockTextView::insertLineBreak()
{
    adoptLineBreakTyping();
    QTextCursor cursor = textCursor();
    if (const std::optional<int> below = editor ? editor->newLineBelowRemarks() : std::nullopt) {
        // The new line starts below the todo's remarks, in the todo's own
        // formats: typing there would otherwise take the remarks' ones.
        const QTextBlockFormat line = cursor.blockFormat();
        const QTextCharFormat lineBreak = cursor.charFormat();
        cursor.setPosition(*below);
        cursor.beginEditBlock();
        cursor.insertBlock(cursor.blockFormat(), lineBreak);
        cursor.movePosition(QTextCursor::PreviousBlock);
        cursor.setBlockFormat(line);
        cursor.endEditBlock();
        setTextCursor(cursor);
        setCurrentCharFormat(lineBreak);
    } else {
        cursor.insertBlock(cursor.blockFormat(), cursor.charFormat());
        setTextCursor(cursor);
    }
    ensureCursorVisible();
}

void BlockTextView::setTopBand(int height)
{
    if (viewportMargins().top() != height)
        setViewportMargins(0, height, 0, 0);
}

void BlockTextView::keyPressEvent(QKeyEvent* event)
{
    const auto modifiers = event->modifiers();
    if ((modifiers & Qt::ControlModifier) && (modifiers & Qt::ShiftModifier) && event->key() == Qt::Key_T) {
        if (editor) {
            if (const auto current = editor->currentBlock())
                editor->convert(*current, BlockKind::Todo);
        }
        return;
    }
    if (event->key() == Qt::Key_F10 && (modifiers & ~Qt::KeypadModifier) == Qt::ShiftModifier) {
        // Qt turns only the menu key into a context menu request: Shift+F10,
        // its usual companion, asks for the same menu at the caret.
        const QPoint caret = cursorRect().center();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, caret, viewport()->mapToGlobal(caret), modifiers);
        contextMenuEvent(&request);
        return;
    }
    if (editor
        && (event->matches(QKeySequence::SelectAll) || event->matches(QKeySequence::MoveToEndOfDocument)
            || event->matches(QKeySequence::SelectEndOfDocument))) {
        editor->showWholeText(); // the key means the end of the whole text
    }
    if (editor && event->matches(QKeySequence::Find)) {
        // Reaches the view only when no menu command took the key first.
        editor->showFindBar();
        return;
    }
    if (editor && event->matches(QKeySequence::Undo)) {
        editor->undo();
        return;
    }
    if (editor && event->matches(QKeySequence::Redo)) {
        editor->redo();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && editor && editor->isAttachmentAtCursor()) {
        if (const auto current = editor->currentBlock())
            editor->insert(*current, false);
        return;
    }
    if (event->matches(QKeySequence::InsertParagraphSeparator) && !isReadOnly()
        && !(editor && editor->hasMarkedText())) {
        insertLineBreak();
        return;
    }
    if (typesText(event)) {
        moveOffAttachment();
        adoptLineBreakTyping();
        QTextCursor cursor = textCursor();
        if (cursor.hasSelection() && !isReadOnly()) {
            const QTextCharFormat format = insertionFormat();
            cursor.beginEditBlock();
            removeSelection(cursor);
            cursor.insertText(event->text(), format);
            cursor.endEditBlock();
            setTextCursor(cursor);
            ensureCursorVisible();
            return;
        }
    }
    QTextEdit::keyPressEvent(event);
}

void BlockTextView::mousePressEvent(QMouseEvent* event)
{
    // A press while a block drag is still armed means its release was lost:
    // the drag ends as cancelled, never stuck.
    if (editor && editor->isDragArmed())
        editor->cancelBlockDrag();
    const QPointF point = contentPoint(event->position().toPoint());
    const bool single = event->button() == Qt::LeftButton;
    // Ctrl-click opens a link; a plain click edits its text like any other.
    if (single && (event->modifiers() & Qt::ControlModifier) && editor && editor->openLinkAt(point))
        return;
    if (single && editor && editor->prepareWritableLine(point))
        return;
    const auto alarming = single && editor ? editor->alarmingBlockID(point) : std::nullopt;
    QTextEdit::mousePressEvent(event);
    if (alarming) {
        QTimer::singleShot(0, this, [this, id = *alarming] {
            if (editor)
                editor->acknowledgeAlarm(id);
        });
    }
}

void BlockTextView::mouseMoveEvent(QMouseEvent* event)
{
    QTextEdit::mouseMoveEvent(event);
    followLinkPointer(event->position().toPoint(), event->buttons());
}

void BlockTextView::followLinkPointer(QPoint viewportPoint, Qt::MouseButtons buttons)
{
    const bool onLink = buttons == Qt::NoButton && editor && editor->linkAt(contentPoint(viewportPoint));
    // The gutter may have set a cursor of its own in between.
    if (onLink && viewport()->cursor().shape() != Qt::PointingHandCursor)
        viewport()->setCursor(Qt::PointingHandCursor);
    else if (!onLink && m_pointerOnLink)
        viewport()->setCursor(Qt::IBeamCursor);
    m_pointerOnLink = onLink;
}

bool BlockTextView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (editor && editor->linkAt(contentPoint(help->pos()))) {
            QToolTip::showText(help->globalPos(), linkHint, viewport());
            return true;
        }
    } else if (event->type() == QEvent::Leave && m_pointerOnLink) {
        m_pointerOnLink = false;
        viewport()->setCursor(Qt::IBeamCursor);
    }
    return QTextEdit::viewportEvent(event);
}

void BlockTextView::inputMethodEvent(QInputMethodEvent* event)
{
    const bool starts = !event->preeditString().isEmpty() || !event->commitString().isEmpty();
    if (starts) {
        moveOffAttachment();
        adoptLineBreakTyping();
    }
    QTextCursor cursor = textCursor();
    if (!starts || !cursor.hasSelection() || isReadOnly()) {
        QTextEdit::inputMethodEvent(event);
        return;
    }
    // Composed text over a selection continues it as typed text does; the
    // selection goes in the same step as the text that replaces it.
    const QTextCharFormat format = insertionFormat();
    cursor.beginEditBlock();
    removeSelection(cursor);
    cursor.setCharFormat(format);
    setTextCursor(cursor);
    QTextEdit::inputMethodEvent(event);
    cursor.endEditBlock();
}

void BlockTextView::contextMenuEvent(QContextMenuEvent* event)
{
    // From the keyboard (the menu key, Shift+F10) the block at the caret
    // gets its menu panel, which takes the keyboard.
    if (event->reason() == QContextMenuEvent::Keyboard && editor && editor->openBlockMenuAtCaret())
        return;
    const QPointF point = contentPoint(event->pos());
    if (editor)
        editor->prepareWritableLine(point);
    std::unique_ptr<QMenu> menu = makeTextMenu ? makeTextMenu(this)
                                               : std::unique_ptr<QMenu>(createStandardContextMenu(event->pos()));
    if (!menu)
        menu = std::make_unique<QMenu>();
    if (editor && editor->blockMenu) {
        if (const auto id = editor->block(point.y())) {
            if (QMenu* blockMenu = editor->blockMenu(*id, menu.get())) {
                menu->addSeparator();
                blockMenu->setTitle(QStringLiteral("内容块"));
                menu->addMenu(blockMenu);
            }
        }
    }
    menu->exec(event->globalPos());
}

bool BlockTextView::canInsertFromMimeData(const QMimeData* source) const
{
    return !localFiles(source).isEmpty() || QTextEdit::canInsertFromMimeData(source);
}

void BlockTextView::insertFromMimeData(const QMimeData* source)
{
    const QStringList files = localFiles(source);
    if (!files.isEmpty()) {
        if (editor)
            editor->importFiles(files);
        return;
    }
    moveOffAttachment();
    if (!source)
        return;
    // Rich text keeps what the note can store and nothing more, so that
    // what is shown now is what the note shows when it is opened again.
    const std::optional<QString> markup = acceptRichText() ? pastedtext::markup(*source) : std::nullopt;
    if (!markup && !source->hasText())
        return;
    QTextCursor cursor = textCursor();
    const QTextBlock first = document()->findBlock(cursor.selectionStart());
    const TextAttributes base = textdoc::attributes(insertionFormat(), first.blockFormat());
    const AttributedString text = markup ? pastedtext::fromHtml(*markup, base)
                                         : pastedtext::fromPlainText(source->text(), base);
    cursor.beginEditBlock();
    removeSelection(cursor);
    textdoc::insert(cursor, text);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

void BlockTextView::removeSelection(QTextCursor& cursor) const
{
    if (!cursor.hasSelection())
        return;
    // Qt gives the paragraph left behind the last paragraph's format when the
    // selection starts at a paragraph's start; it continues the first.
    const QTextBlockFormat paragraph = document()->findBlock(cursor.selectionStart()).blockFormat();
    cursor.removeSelectedText();
    cursor.setBlockFormat(paragraph);
}

QTextCharFormat BlockTextView::insertionFormat() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return cursor.charFormat();
    return editordoc::charFormatAt(*document(), cursor.selectionStart());
}

void BlockTextView::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    if (editor)
        editor->endEditing(event->reason());
}

} // namespace quorrin
