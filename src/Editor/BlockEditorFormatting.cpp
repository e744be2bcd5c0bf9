// The block editor's side of the format bar: when it shows and where, and
// the formatting it applies to the body.
#include "Editor/BlockEditor.h"

#include "Domain/NoteTheme.h"
#include "Editor/BlockTextView.h"
#include "Editor/DocumentMirror.h"
#include "Editor/EditorDocument.h"
#include "Editor/EditorHistory.h"
#include "Editor/TextDocumentConversion.h"

#include <QApplication>
#include <QScopeGuard>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <utility>

namespace quorrin {

// ---------------------------------------------------------------- format bar

void BlockEditor::setFormatPanel(FormatPanel* panel, QObject* lifetime)
{
    m_formatPanel = panel && lifetime ? panel : nullptr;
    m_formatPanelLifetime = m_formatPanel ? lifetime : nullptr;
}

FormatPanel* BlockEditor::builtFormatPanel() const
{
    return m_formatPanelLifetime ? m_formatPanel : nullptr;
}

FormatPanel* BlockEditor::formatPanel()
{
    if (!m_formatPanelLifetime && buildFormatPanel)
        std::exchange(buildFormatPanel, nullptr)();
    return builtFormatPanel();
}

formatbar::Conditions BlockEditor::formatBarConditions() const
{
    const Note* note = shownNote();
    const QWidget* noteWindow = window();
    formatbar::Conditions c;
    c.hasPanel = builtFormatPanel() != nullptr || buildFormatPanel != nullptr;
    c.windowActive = noteWindow && noteWindow->isActiveWindow();
    c.noteCollapsed = note && note->isCollapsed;
    c.windowVisible = noteWindow && noteWindow->isVisible();
    c.textFocused = m_textView->hasFocus();
    c.markedText = hasMarkedText();
    c.selectionEmpty = !m_textView->textCursor().hasSelection();
    return c;
}

void BlockEditor::startFormatWork(int delayMs, bool endsTyping)
{
    m_formatWorkEndsTyping = endsTyping;
    m_formatWork.start(delayMs);
}

void BlockEditor::ownScheduleFormatBar()
{
    if (m_formatSuppressed)
        return;
    m_formatAwaitsCaret = false;
    m_formatWork.stop();
    switch (formatbar::schedule(formatBarConditions())) {
    case formatbar::Scheduling::Now:
        startFormatWork(0, false);
        break;
    case formatbar::Scheduling::AfterDelay:
        startFormatWork(formatbar::caretDelayMs, false);
        break;
    case formatbar::Scheduling::Hide:
        if (FormatPanel* panel = builtFormatPanel())
            panel->hide();
        break;
    }
}

void BlockEditor::ownPresentFormatBar()
{
    m_formatAwaitsCaret = false;
    if (!builtFormatPanel() && !buildFormatPanel)
        return;
    const std::optional<QRectF> anchor = formatAnchorScreenRect();
    if (formatbar::present(formatBarConditions(), anchor.has_value())) {
        if (FormatPanel* panel = formatPanel())
            panel->show(*anchor, *window());
    } else if (FormatPanel* panel = builtFormatPanel()) {
        panel->hide();
    }
}

void BlockEditor::ownUpdateFormatBarPosition()
{
    // Only a panel already shown moves; a hidden one waits for a
    // presentation, unless it went because the caret left the view: it
    // comes back with the caret while the text is being edited.
    FormatPanel* panel = builtFormatPanel();
    if (!panel)
        return;
    const std::optional<QRectF> anchor = formatAnchorScreenRect();
    const formatbar::Conditions conditions = formatBarConditions();
    if (!panel->isShown()) {
        if (m_formatAwaitsCaret && formatbar::present(conditions, anchor.has_value())) {
            m_formatAwaitsCaret = false;
            panel->show(*anchor, *window());
        }
        return;
    }
    if (formatbar::reposition(conditions, anchor.has_value())) {
        panel->show(*anchor, *window());
    } else {
        panel->hide();
        m_formatAwaitsCaret = !anchor && formatbar::canShow(conditions);
    }
}

void BlockEditor::ownHideFormatBar()
{
    m_formatAwaitsCaret = false;
    m_formatWork.stop();
    if (FormatPanel* panel = builtFormatPanel())
        panel->hide();
    m_formatSuppressed = false;
}

TextAttributes BlockEditor::formatAttributes() const
{
    const QTextCursor cursor = m_textView->textCursor();
    const int length = editordoc::textLength(*document());
    if (cursor.hasSelection() && cursor.selectionEnd() <= length)
        return textdoc::read(*document(), cursor.selectionStart(), 1).attributesAt(0);
    return textdoc::attributes(m_textView->currentCharFormat(), {});
}

TextFont BlockEditor::formatFont() const
{
    if (const auto font = formatAttributes().font)
        return *font;
    const Preferences preferences = m_store->preferences();
    return TextFont{editordoc::fontFamilyFor(preferences.fontName), preferences.fontSize > 0 ? preferences.fontSize : 14, false,
                    false};
}

std::optional<QRectF> BlockEditor::formatAnchorScreenRect() const
{
    if (!window())
        return std::nullopt;
    QTextCursor caret = m_textView->textCursor();
    caret.setPosition(std::min(caret.position(), editordoc::textLength(*document())));
    const QRect inViewport = m_textView->cursorRect(caret);
    if (!inViewport.intersects(m_textView->viewport()->rect()))
        return std::nullopt;
    return QRectF(QRect(m_textView->viewport()->mapToGlobal(inViewport.topLeft()), inViewport.size()));
}

// ---------------------------------------------------------------- body formatting

NoteTheme BlockEditor::noteTheme() const
{
    const Note* note = shownNote();
    return note ? noteColor::theme(note->color) : NoteTheme::neutral();
}

TextFormat BlockEditor::currentTextFormat() const
{
    return textformat::formatOf(formatAttributes(), formatFont());
}

bool BlockEditor::applyToSelection(const QString& actionName, const std::function<void(AttributedString&)>& transform)
{
    if (hasMarkedText()) {
        QApplication::beep();
        return false;
    }
    const QTextCursor selection = m_textView->textCursor();
    const int start = selection.selectionStart();
    const int length = selection.selectionEnd() - start;
    if (length < 1 || start + length > editordoc::textLength(*document()) || m_textView->isReadOnly())
        return false;
    const AttributedString saved = textdoc::read(*document(), start, length);
    AttributedString formatted = saved;
    transform(formatted);

    applyingFormat = true;
    const auto done = qScopeGuard([this] { applyingFormat = false; });
    const int position = editortext::storedPosition(m_mirror->text().string(), start);
    if (!replaceText(position, saved.string(), formatted))
        return false;
    m_history->push(new TextFormatCommand(this, position, saved, formatted, actionName));
    const Note* shown = shownNote();
    if (m_charactersChanged || !m_rendered || !shown || !(*m_rendered == *shown))
        flush();

    QTextCursor reselected(document());
    reselected.setPosition(start);
    reselected.setPosition(start + length, QTextCursor::KeepAnchor);
    m_textView->setTextCursor(reselected);
    if (!m_textView->hasFocus())
        m_textView->setFocus(Qt::OtherFocusReason);
    if (FormatPanel* panel = formatPanel())
        panel->refreshBar();
    call(updateFormatBarPosition);
    return true;
}

void BlockEditor::applyToTyping(const std::function<void(TextAttributes&)>& change)
{
    if (hasMarkedText()) {
        QApplication::beep();
        return;
    }
    TextAttributes typing = textdoc::attributes(m_textView->currentCharFormat(), {});
    change(typing);
    m_textView->setCurrentCharFormat(textdoc::charFormat(typing));
    if (!m_textView->hasFocus())
        m_textView->setFocus(Qt::OtherFocusReason);
    if (FormatPanel* panel = formatPanel())
        panel->refreshBar();
}

void BlockEditor::toggleTrait(textformat::FontTrait trait, const QString& actionName)
{
    const TextFont base = formatFont();
    // The first selected character decides for the whole selection.
    const bool on = !textformat::hasTrait(base, trait);
    if (!m_textView->textCursor().hasSelection()) {
        applyToTyping([&](TextAttributes& typing) { typing.font = textformat::withTrait(base, trait, on); });
        return;
    }
    applyToSelection(actionName, [&](AttributedString& text) { textformat::setTrait(text, trait, on, base); });
}

void BlockEditor::toggleBold()
{
    toggleTrait(textformat::FontTrait::Bold, textformat::actionName::bold);
}

// Every family has an italic face here: the text system slants the upright
// face of a family that has none, so italic never needs a separate slant.
void BlockEditor::toggleItalic()
{
    toggleTrait(textformat::FontTrait::Italic, textformat::actionName::italic);
}

void BlockEditor::toggleUnderline()
{
    const int style = currentTextFormat().underline ? 0 : 1;
    if (!m_textView->textCursor().hasSelection())
        applyToTyping([&](TextAttributes& typing) { typing.underlineStyle = style; });
    else
        applyToSelection(textformat::actionName::underline,
                         [&](AttributedString& text) { textformat::setUnderline(text, style); });
}

void BlockEditor::toggleStrikethroughFormat()
{
    const int style = currentTextFormat().strikethrough ? 0 : 1;
    if (!m_textView->textCursor().hasSelection())
        applyToTyping([&](TextAttributes& typing) { typing.strikethroughStyle = style; });
    else
        applyToSelection(textformat::actionName::strikethrough,
                         [&](AttributedString& text) { textformat::setStrikethrough(text, style); });
}

void BlockEditor::adjustFontSize(double delta)
{
    const TextFont base = formatFont();
    const std::optional<double> size = textformat::steppedSize(base.pointSize, delta);
    if (!size)
        return;
    if (!m_textView->textCursor().hasSelection()) {
        applyToTyping([&](TextAttributes& typing) {
            TextFont font = base;
            font.pointSize = *size;
            typing.font = font;
        });
        return;
    }
    applyToSelection(textformat::actionName::fontSize,
                     [&](AttributedString& text) { textformat::setSize(text, *size, base); });
}

QString BlockEditor::selectedLink() const
{
    const QTextCursor selection = m_textView->textCursor();
    if (!selection.hasSelection())
        return {};
    const AttributedString text = textdoc::read(*document(), selection.selectionStart(), 1);
    const std::optional<CustomAttributeValue> link = text.length() > 0 ? text.customAt(0, textformat::linkAttribute)
                                                                        : std::nullopt;
    const QString* address = link ? std::get_if<QString>(&*link) : nullptr;
    return address ? *address : QString();
}

bool BlockEditor::setLink(const QString& address)
{
    if (!m_textView->textCursor().hasSelection())
        return false;
    return applyToSelection(textformat::actionName::link, [&](AttributedString& text) {
        if (address.isEmpty())
            text.removeCustom(0, text.length(), textformat::linkAttribute);
        else
            text.setCustom(0, text.length(), textformat::linkAttribute, address);
    });
}

void BlockEditor::setAlignment(TextAlignment alignment)
{
    const QTextCursor chosen = m_textView->textCursor();
    // Whole paragraphs, from the first touched one's start to the last one's end.
    QTextCursor paragraphs(document());
    paragraphs.setPosition(document()->findBlock(chosen.selectionStart()).position());
    const QTextBlock last = document()->findBlock(chosen.selectionEnd());
    paragraphs.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    m_textView->setTextCursor(paragraphs);
    applyToSelection(textformat::actionName::alignment, [&](AttributedString& text) {
        for (const AttributedString::ParagraphStyleRun& run : text.paragraphStyleRuns(0, text.length())) {
            ParagraphStyle style = run.style.value_or(ParagraphStyle{});
            style.alignment = alignment;
            text.setParagraphStyle(run.start, run.length, style);
        }
    });
    QTextCursor restored(document());
    restored.setPosition(std::min(chosen.anchor(), editordoc::textLength(*document())));
    restored.setPosition(std::min(chosen.position(), editordoc::textLength(*document())), QTextCursor::KeepAnchor);
    m_textView->setTextCursor(restored);
}

void BlockEditor::setTextColor(const TextColor& color)
{
    if (!m_textView->textCursor().hasSelection())
        applyToTyping([&](TextAttributes& typing) { typing.foreground = color; });
    else
        applyToSelection(textformat::actionName::textColor,
                         [&](AttributedString& text) { textformat::setColor(text, color); });
}

} // namespace quorrin
