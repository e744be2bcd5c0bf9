#include "Domain/RichText.h"

#include "Platform/Core/Rtf.h"

namespace quorrin {

RichText RichText::fromRtf(QByteArray rtf)
{
    RichText text;
    text.m_rtf = std::move(rtf);
    return text;
}

RichText::RichText(const AttributedString& text)
    : m_rtf(rtf::write(text))
{
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
