#include "Editor/DisplayAppearance.h"

#include "Editor/EditorText.h"
#include "Editor/TextDocumentConversion.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
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

void DisplayAppearance::replaceText(const std::function<void()>& replace)
{
    QTextDocument* doc = document();
    // Qt highlights each paragraph of an insert as it arrives, copying its
    // text out; held off here, through the connection it makes itself, and
    // left as it is where that connection is not found.
    const bool held = doc
        && QObject::disconnect(doc, SIGNAL(contentsChange(int,int,int)), this, SLOT(_q_reformatBlocks(int,int,int)));
    replace();
    if (!held)
        return;
    QObject::connect(doc, SIGNAL(contentsChange(int,int,int)), this, SLOT(_q_reformatBlocks(int,int,int)));
    if (showsAnyOtherwise())
        rehighlight();
}

DisplayAppearance::Shown DisplayAppearance::shownAs(const QTextCharFormat& format) const
{
    const bool remarks = format.hasProperty(textdoc::BlockRole)
        && format.property(textdoc::BlockRole).toString() == editortext::remarksRole;
    const bool completed = !m_completed.empty() && format.hasProperty(textdoc::BlockID)
        && m_completed.count(QUuid::fromString(format.property(textdoc::BlockID).toString())) > 0;
    return {appearance::shownStyle(remarks, textdoc::foreground(format), m_dark, completed),
            !format.stringProperty(textdoc::Link).isEmpty()};
}

bool DisplayAppearance::showsAnyOtherwise() const
{
    // A document's formats are few beside its paragraphs: the text shows
    // nothing otherwise when none of them does.
    const QList<QTextFormat> formats = document()->allFormats();
    return std::any_of(formats.begin(), formats.end(), [this](const QTextFormat& format) {
        if (!format.isCharFormat())
            return false;
        const Shown look = shownAs(format.toCharFormat());
        return look.style != appearance::ShownStyle{} || look.link;
    });
}

void DisplayAppearance::highlightBlock(const QString&)
{
    // Most paragraphs need nothing; they cost a few property look-ups and
    // no palette or id parsing.
    const QTextBlock block = currentBlock();
    std::optional<QPalette> palette;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const Shown look = shownAs(fragment.charFormat());
        const appearance::ShownStyle& style = look.style;
        if (style == appearance::ShownStyle{} && !look.link)
            continue;
        if (!palette)
            palette = QGuiApplication::palette();
        QTextCharFormat shown;
        if (look.link) {
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
