#include "Domain/RichText.h"

#include "Core/Text/Rtf.h"

#include <algorithm>
#include <array>

namespace quorrin {

namespace {

const std::array<QString, 6>& editorKeys()
{
    static const std::array<QString, 6> keys = {
        EditorAttribute::presentationSpacing, EditorAttribute::presentationIndent, EditorAttribute::presentationTail,
        EditorAttribute::presentationBase,    EditorAttribute::blockID,            EditorAttribute::blockRole,
    };
    return keys;
}

// A value that is missing or not a number counts as 0.
double amountIn(const TextAttributes& attributes, const QString& key)
{
    const auto found = attributes.custom.find(key);
    if (found == attributes.custom.end())
        return 0;
    const auto* number = std::get_if<double>(&found->second);
    return number ? *number : 0;
}

bool isEditorKey(const QString& name)
{
    return std::find(editorKeys().begin(), editorKeys().end(), name) != editorKeys().end();
}

// The attributes stored text keeps: built anew rather than erased from a
// copy, so that text without custom attributes of its own gets an empty map
// at no cost, and text without editor marks keeps sharing its own.
CustomAttributes withoutEditorKeys(const CustomAttributes& custom)
{
    if (std::none_of(custom.begin(), custom.end(), [](const auto& entry) { return isEditorKey(entry.first); }))
        return custom;
    CustomAttributes kept;
    for (const auto& [name, value] : custom) {
        if (!isEditorKey(name))
            kept[name] = value;
    }
    return kept;
}

// Takes the amounts the editor added for presentation back out of the
// paragraph style. Each run has one paragraph style and one set of amounts,
// so neighbouring paragraphs that share a style but carry different amounts
// (a bullet after a heading, say) each get their own amounts subtracted.
TextAttributes storedAttributes(const TextAttributes& shown)
{
    TextAttributes attributes = shown;
    if (attributes.paragraphStyle) {
        ParagraphStyle& style = *attributes.paragraphStyle;
        const double indent = amountIn(shown, EditorAttribute::presentationIndent);
        const double tail = amountIn(shown, EditorAttribute::presentationTail);
        const double spacing = amountIn(shown, EditorAttribute::presentationSpacing);
        style.paragraphSpacing -= spacing;
        style.firstLineHeadIndent -= indent;
        style.headIndent -= indent;
        style.tailIndent -= tail;
    }
    attributes.custom = withoutEditorKeys(shown.custom);
    return attributes;
}

AttributedString withoutPresentation(const AttributedString& text)
{
    // Built run by run: one copy of each run's attributes.
    AttributedString result;
    for (const AttributedString::Run& run : text.runs())
        result.append(text.string().mid(run.start, run.length), storedAttributes(run.attributes));
    return result;
}

} // namespace

RichText RichText::fromRtf(QByteArray rtf)
{
    RichText text;
    text.m_rtf = std::move(rtf);
    return text;
}

RichText::RichText(const AttributedString& text)
    : m_rtf(rtf::write(withoutPresentation(text)))
{
}

RichText RichText::Series::store(const AttributedString& text)
{
    const std::vector<AttributedString::Run>& runs = text.runs();
    if (runs.size() != 1)
        return fromRtf(m_writer.write(withoutPresentation(text)));
    if (!m_shown || !(*m_shown == runs.front().attributes)) {
        m_shown = runs.front().attributes;
        m_stored = storedAttributes(*m_shown);
    }
    return fromRtf(m_writer.write(text.string(), m_stored));
}

RichText::RichText(const QString& text, const TextFont& font)
    : RichText(AttributedString(text, TextAttributes{font, TextColor::dynamicText(), 0, 0, std::nullopt, {}}))
{
}

AttributedString RichText::attributed() const
{
    return read().value_or(AttributedString());
}

std::optional<AttributedString> RichText::read() const
{
    if (m_rtf.isEmpty())
        return AttributedString();
    return rtf::read(m_rtf);
}

} // namespace quorrin
