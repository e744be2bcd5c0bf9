#include "Editor/TextFormatTarget.h"

#include <algorithm>
#include <cmath>

namespace quorrin::textformat {
namespace {

template <typename Change> void modifyRuns(AttributedString& text, Change&& change)
{
    const std::vector<AttributedString::Run> runs = text.runs();
    for (const AttributedString::Run& run : runs) {
        TextAttributes attributes = run.attributes;
        change(attributes);
        text.setAttributes(run.start, run.length, attributes);
    }
}

} // namespace

TextFormat formatOf(const TextAttributes& attributes, const TextFont& base)
{
    TextFormat format;
    format.font = attributes.font.value_or(base);
    format.color = attributes.foreground.value_or(TextColor::dynamicText());
    format.bold = format.font.bold;
    format.italic = format.font.italic;
    format.underline = (attributes.underlineStyle & 1) != 0;
    format.strikethrough = (attributes.strikethroughStyle & 1) != 0;
    return format;
}

bool hasTrait(const TextFont& font, FontTrait trait)
{
    return trait == FontTrait::Bold ? font.bold : font.italic;
}

TextFont withTrait(TextFont font, FontTrait trait, bool on)
{
    (trait == FontTrait::Bold ? font.bold : font.italic) = on;
    return font;
}

std::optional<double> steppedSize(double current, double delta, double minimum, double maximum)
{
    const double target = std::clamp(std::round(current + delta), minimum, maximum);
    if (target == current)
        return std::nullopt;
    return target;
}

void setTrait(AttributedString& text, FontTrait trait, bool on, const TextFont& base)
{
    modifyRuns(text, [&](TextAttributes& a) { a.font = withTrait(a.font.value_or(base), trait, on); });
}

void setSize(AttributedString& text, double size, const TextFont& base)
{
    modifyRuns(text, [&](TextAttributes& a) {
        TextFont font = a.font.value_or(base);
        font.pointSize = size;
        a.font = font;
    });
}

void setUnderline(AttributedString& text, int style)
{
    modifyRuns(text, [&](TextAttributes& a) { a.underlineStyle = style; });
}

void setStrikethrough(AttributedString& text, int style)
{
    modifyRuns(text, [&](TextAttributes& a) { a.strikethroughStyle = style; });
}

void setColor(AttributedString& text, const TextColor& color)
{
    modifyRuns(text, [&](TextAttributes& a) { a.foreground = color; });
}

} // namespace quorrin::textformat
