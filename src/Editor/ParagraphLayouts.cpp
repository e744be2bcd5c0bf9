#include "Editor/ParagraphLayouts.h"

namespace quorrin::editortext {

ParagraphLayouts::Laid& ParagraphLayouts::layout(const ParagraphInput& input)
{
    constexpr std::size_t kept = 16;
    Inputs inputs{layoutKey(input), input.current, input.storedBase};
    for (auto& [met, laid] : m_laid) {
        if (met == inputs)
            return *laid;
    }
    auto laid = std::make_unique<Laid>(Laid{layoutParagraph(input)});
    if (m_laid.size() < kept) {
        m_laid.emplace_back(std::move(inputs), std::move(laid));
        return *m_laid.back().second;
    }
    auto& slot = m_laid[m_replaced];
    m_replaced = (m_replaced + 1) % kept;
    slot = {std::move(inputs), std::move(laid)};
    return *slot.second;
}

TextAttributes ParagraphLayouts::laidOut(Laid& laid, const TextAttributes& run)
{
    const TextAttributes& made = laid.attributes.entry(run, [&] {
        TextAttributes attributes = run;
        attributes.paragraphStyle = laid.layout.style;
        attributes.custom[EditorAttribute::presentationIndent] = laid.layout.indent;
        attributes.custom[EditorAttribute::presentationTail] = laid.layout.tail;
        attributes.custom[EditorAttribute::presentationSpacing] = laid.layout.spacing;
        attributes.custom[EditorAttribute::presentationBase] = laid.layout.base;
        return attributes;
    });
    TextAttributes attributes = made;
    const auto mark = run.custom.find(EditorAttribute::blockID);
    if (mark != run.custom.end() && !(made.custom.at(EditorAttribute::blockID) == mark->second))
        m_marks.set(attributes.custom, mark->second);
    return attributes;
}

} // namespace quorrin::editortext
