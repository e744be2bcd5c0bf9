#include "Editor/DisplayAppearance.h"

#include "Editor/EditorText.h"
#include "Editor/TextDocumentConversion.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTextBlock>

#include <cmath>

namespace quorrin {
namespace appearance {

bool isUnreadable(const Rgba& colour, bool dark)
{
    const bool grey = std::abs(colour.red - colour.green) < 0.04 && std::abs(colour.green - colour.blue) < 0.04;
    if (!grey)
        return false;
    return dark ? colour.red < 0.12 : colour.red > 0.9;
}

ShownStyle shownStyle(bool isRemarks, const std::optional<TextColor>& stored, bool dark, bool completedTodo)
{
    if (isRemarks)
        return {ShownColour::Secondary, false};
    if (completedTodo)
        return {ShownColour::Secondary, true};
    if (stored && stored->rgba && isUnreadable(*stored->rgba, dark))
        return {ShownColour::Text, false};
    return {};
}

std::set<QUuid> completedTodos(const Note& note)
{
    std::set<QUuid> ids;
    for (const Block& block : note.blocks) {
        if (block.kind == BlockKind::Todo && block.todo && block.todo->isCompleted)
            ids.insert(block.id);
    }
    return ids;
}

} // namespace appearance

DisplayAppearance::DisplayAppearance(QTextDocument* document)
    : QSyntaxHighlighter(document)
{
}

void DisplayAppearance::update(std::set<QUuid> completed, bool dark)
{
    if (completed == m_completed && dark == m_dark)
        return;
    m_completed = std::move(completed);
    m_dark = dark;
    rehighlight();
}

void DisplayAppearance::highlightBlock(const QString&)
{
    // Most paragraphs need nothing; they cost a few property look-ups and
    // no palette or id parsing.
    const QTextBlock block = currentBlock();
    std::optional<QPalette> palette;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        const bool remarks = format.hasProperty(textdoc::BlockRole)
            && format.property(textdoc::BlockRole).toString() == editortext::remarksRole;
        const bool completed = !m_completed.empty() && format.hasProperty(textdoc::BlockID)
            && m_completed.count(QUuid::fromString(format.property(textdoc::BlockID).toString())) > 0;
        const appearance::ShownStyle style = appearance::shownStyle(remarks, textdoc::foreground(format), m_dark, completed);
        const bool link = !format.stringProperty(textdoc::Link).isEmpty();
        if (style == appearance::ShownStyle{} && !link)
            continue;
        if (!palette)
            palette = QGuiApplication::palette();
        QTextCharFormat shown;
        if (link) {
            // A link is shown underlined in the link colour.
            shown.setForeground(palette->color(QPalette::Link));
            shown.setFontUnderline(true);
        }
        if (style.colour != appearance::ShownColour::Stored)
            shown.setForeground(palette->color(style.colour == appearance::ShownColour::Text ? QPalette::Text
                                                                                             : QPalette::PlaceholderText));
        if (style.struck)
            shown.setFontStrikeOut(true);
        setFormat(fragment.position() - block.position(), fragment.length(), shown);
    }
}

} // namespace quorrin
