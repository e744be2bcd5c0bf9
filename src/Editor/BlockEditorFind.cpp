// Find and replace over the note's shown text.
#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Editor/EditorDocument.h"
#include "Editor/FindReplaceBar.h"
#include "Editor/TextDocumentConversion.h"
#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"

#include <QApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace quorrin {

QString BlockEditor::searchableText()
{
    showWholeText();
    return textdoc::plainText(*document(), 0, editordoc::textLength(*document()));
}

FindReplaceBar* BlockEditor::findBar()
{
    if (!m_findBar) {
        m_findBar = new FindReplaceBar(this, this);
        m_findBar->onVisibilityChange = [this] { layoutViews(); };
        connect(document(), &QTextDocument::contentsChanged, m_findBar, &FindReplaceBar::refresh);
    }
    return m_findBar;
}

void BlockEditor::showFindBar()
{
    FindReplaceBar* bar = findBar();
    QPalette colours = bar->palette();
    colours.setColor(QPalette::Window, toQColor(noteTheme().surface, SystemAppearance::of(palette())));
    bar->setPalette(colours);
    bar->open();
}

void BlockEditor::selectMatch(const TextMatch& match)
{
    if (match.start < 0 || match.end() > editordoc::textLength(*document()))
        return;
    QTextCursor cursor(document());
    cursor.setPosition(match.start);
    cursor.setPosition(match.end(), QTextCursor::KeepAnchor);
    m_textView->setTextCursor(cursor);
    m_textView->ensureCursorVisible();
}

void BlockEditor::highlightMatches(const std::vector<TextMatch>& matches)
{
    QList<QTextEdit::ExtraSelection> marks;
    const int length = editordoc::textLength(*document());
    QColor fill = toQColor(noteTheme().accent, SystemAppearance::of(palette()));
    fill.setAlphaF(0.28f);
    for (const TextMatch& match : matches) {
        if (match.end() > length)
            break;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(document());
        mark.cursor.setPosition(match.start);
        mark.cursor.setPosition(match.end(), QTextCursor::KeepAnchor);
        mark.format.setBackground(fill);
        marks.append(mark);
    }
    m_textView->setExtraSelections(marks);
}

int BlockEditor::replaceMatches(const std::vector<TextMatch>& matches, const QString& replacement,
                                const QString& actionName)
{
    if (hasMarkedText() || m_rendering || m_textView->isReadOnly()) {
        QApplication::beep();
        return 0;
    }
    flush(); // typing not yet written back belongs to its own step
    const QString text = searchableText();
    std::vector<TextMatch> changing;
    for (const TextMatch& match : matches) {
        if (match.start >= 0 && match.end() <= text.size() && match.length > 0
            && text.mid(match.start, match.length) != replacement
            && (changing.empty() || changing.back().end() <= match.start))
            changing.push_back(match);
    }
    if (changing.empty())
        return 0;
    // One undo step for all of them. Each replacement stays within its line
    // and is recorded by the write-back like typing; the last one first, so
    // the positions of the others hold.
    m_history->beginMacro(actionName);
    for (auto match = changing.rbegin(); match != changing.rend(); ++match) {
        QTextCursor first(document());
        first.setPosition(match->start + 1); // the format of the match's first character
        const QTextCharFormat format = first.charFormat();
        QTextCursor cursor(document());
        cursor.setPosition(match->start);
        cursor.setPosition(match->end(), QTextCursor::KeepAnchor);
        cursor.insertText(replacement, format);
    }
    m_history->endMacro();
    flush();
    return int(changing.size());
}

} // namespace quorrin
