#include "Editor/EditorDocument.h"

#include "Editor/TextDocumentConversion.h"

#include <QFontDatabase>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <utility>

namespace quorrin::editordoc {

QTextCharFormat charFormatAt(const QTextDocument& document, int position)
{
    const QTextBlock block = document.findBlock(position);
    if (!block.isValid())
        return {};
    if (position == block.position() + block.length() - 1)
        return block.next().isValid() ? block.next().charFormat() : QTextCharFormat();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(position))
            return fragment.charFormat();
    }
    return {};
}

int textLength(const QTextDocument& document)
{
    return document.characterCount() - 1;
}

namespace {

constexpr std::array presentationProperties{textdoc::PresentationIndent, textdoc::PresentationTail,
                                            textdoc::PresentationSpacing, textdoc::PresentationBase};

} // namespace

void addPresentation(QTextBlockFormat& format, const QTextCharFormat& marks)
{
    for (const int property : presentationProperties)
        format.setProperty(property, marks.property(property));
}

bool samePresentation(const QTextFormat& a, const QTextFormat& b)
{
    return std::all_of(presentationProperties.begin(), presentationProperties.end(), [&](int property) {
        return a.property(property) == b.property(property);
    });
}

namespace {

// The block's presentation amounts, over whatever the characters carry.
void addPresentationAttributes(TextAttributes& attributes, const QTextBlockFormat& format)
{
    if (!format.hasProperty(textdoc::PresentationTail))
        return;
    const std::array<std::pair<const QString&, int>, 4> keys{{
        {EditorAttribute::presentationIndent, textdoc::PresentationIndent},
        {EditorAttribute::presentationTail, textdoc::PresentationTail},
        {EditorAttribute::presentationSpacing, textdoc::PresentationSpacing},
        {EditorAttribute::presentationBase, textdoc::PresentationBase},
    }};
    for (const auto& [name, property] : keys) {
        if (auto value = textdoc::fromVariant(format.property(property)))
            attributes.custom[name] = std::move(*value);
    }
}

} // namespace

ParagraphReader::ParagraphReader()
    : m_formats(addPresentationAttributes)
{
}

AttributedString ParagraphReader::read(const QTextBlock& block, int position, bool withSeparator)
{
    return textdoc::readBlock(block, position, withSeparator, m_formats);
}

void readParagraphs(const QTextDocument& document, const std::function<void(editortext::Paragraph)>& take)
{
    ParagraphReader reader;
    int position = 0;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        const bool hasSeparator = block.next().isValid();
        if (!hasSeparator && block.length() == 1 && position > 0)
            break;
        take({reader.read(block, position, hasSeparator), position});
        position += block.length();
    }
}

std::vector<editortext::Paragraph> readParagraphs(const QTextDocument& document)
{
    std::vector<editortext::Paragraph> paragraphs;
    readParagraphs(document, [&](editortext::Paragraph paragraph) { paragraphs.push_back(std::move(paragraph)); });
    return paragraphs;
}

QString fontFamilyFor(const QString& name)
{
    if (name == TextFont::systemFamily() || !QFontDatabase::families().contains(name))
        return TextFont::systemFamily();
    return name;
}

} // namespace quorrin::editordoc
