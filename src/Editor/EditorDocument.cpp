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

AttributedString readParagraph(const QTextBlock& block, bool withSeparator, textdoc::FormatCache& cache)
{
    AttributedString text = textdoc::readBlock(block, withSeparator, cache);
    const QTextBlockFormat format = block.blockFormat();
    if (!format.hasProperty(textdoc::PresentationTail))
        return text;
    const std::array<std::pair<const QString&, int>, 4> keys{{
        {EditorAttribute::presentationIndent, textdoc::PresentationIndent},
        {EditorAttribute::presentationTail, textdoc::PresentationTail},
        {EditorAttribute::presentationSpacing, textdoc::PresentationSpacing},
        {EditorAttribute::presentationBase, textdoc::PresentationBase},
    }};
    std::vector<std::pair<const QString*, CustomAttributeValue>> values;
    for (const auto& [name, property] : keys) {
        if (const auto value = textdoc::fromVariant(format.property(property)))
            values.emplace_back(&name, *value);
    }
    // Every run gets them in one pass.
    AttributedString marked;
    for (const AttributedString::Run& run : text.runs()) {
        TextAttributes attributes = run.attributes;
        for (const auto& [name, value] : values)
            attributes.custom[*name] = value;
        marked.append(text.string().mid(run.start, run.length), std::move(attributes));
    }
    return marked;
}

void readParagraphs(const QTextDocument& document, const std::function<void(editortext::Paragraph)>& take)
{
    textdoc::FormatCache cache;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        const bool hasSeparator = block.next().isValid();
        if (!hasSeparator && block.length() == 1 && block.position() > 0)
            break;
        take({readParagraph(block, hasSeparator, cache), block.position()});
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
