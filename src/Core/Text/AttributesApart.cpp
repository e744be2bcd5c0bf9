#include "Core/Text/AttributesApart.h"

#include <QHashFunctions>

#include <variant>

namespace quorrin {

AttributesApart::AttributesApart(QString name)
    : m_name(std::move(name))
{
}

std::size_t AttributesApart::operator()(const TextAttributes& a) const
{
    std::size_t seed = 0;
    if (a.font)
        seed = qHashMulti(seed, a.font->family, a.font->pointSize, a.font->bold, a.font->italic);
    if (a.foreground && a.foreground->rgba) {
        const Rgba& c = *a.foreground->rgba;
        seed = qHashMulti(seed, c.red, c.green, c.blue, c.alpha);
    }
    seed = qHashMulti(seed, a.font.has_value(), a.foreground.has_value(), a.underlineStyle, a.strikethroughStyle,
                      a.paragraphStyle.has_value());
    if (const auto& p = a.paragraphStyle)
        seed = qHashMulti(seed, int(p->alignment), p->firstLineHeadIndent, p->headIndent, p->tailIndent,
                          p->paragraphSpacing, p->paragraphSpacingBefore, p->lineSpacing);
    // Names count by their number only: equal tables have the same names,
    // and the values tell tables apart far more often.
    seed = qHashMulti(seed, a.custom.size());
    for (const auto& [name, value] : a.custom) {
        if (name == m_name)
            continue;
        seed = std::visit([seed](const auto& v) { return qHashMulti(seed, v); }, value);
    }
    return seed;
}

bool AttributesApart::operator()(const TextAttributes& a, const TextAttributes& b) const
{
    if (!(a.font == b.font && a.foreground == b.foreground && a.underlineStyle == b.underlineStyle
          && a.strikethroughStyle == b.strikethroughStyle && a.paragraphStyle == b.paragraphStyle
          && a.custom.size() == b.custom.size()))
        return false;
    for (auto i = a.custom.begin(), j = b.custom.begin(); i != a.custom.end(); ++i, ++j) {
        if (i->first != j->first || (!(i->second == j->second) && i->first != m_name))
            return false;
    }
    return true;
}

AttributeSetter::AttributeSetter(QString name)
    : m_name(std::move(name))
{
}

void AttributeSetter::set(CustomAttributes& custom, const CustomAttributeValue& value)
{
    if (m_value && *m_value == value && custom == m_before) {
        custom = m_after;
        return;
    }
    m_before = custom;
    custom[m_name] = value;
    m_after = custom;
    m_value = value;
}

} // namespace quorrin
