#pragma once

#include "Core/Text/AttributesApart.h"
#include "Domain/RichText.h"
#include "Editor/EditorText.h"

#include <memory>
#include <vector>

namespace quorrin::editortext {

// The layouts of the paragraphs of a text and the attributes they give its
// runs. A long text's paragraphs mostly share the few inputs a layout
// depends on, and their runs differ mostly in nothing but their block ids:
// each layout is worked out once for its inputs, and what it gives a run
// once for the runs that differ only in their id, which is then set on a copy.
class ParagraphLayouts {
public:
    struct Laid {
        ParagraphLayout layout;
        AttributesApartTable<TextAttributes> attributes{EditorAttribute::blockID};
    };

    // The layout of a paragraph with these inputs (as layoutParagraph gives
    // it); valid until the next call.
    Laid& layout(const ParagraphInput& input);
    // The run's attributes with the paragraph's style and presentation marks.
    TextAttributes laidOut(Laid& laid, const TextAttributes& run);

private:
    struct Inputs {
        ParagraphLayoutKey key;
        std::optional<ParagraphStyle> current;
        std::optional<QList<double>> storedBase;
        friend bool operator==(const Inputs&, const Inputs&) = default;
    };
    // The last few inputs met: a note's paragraphs have few layouts, and
    // one that gives each its own lays each out anew.
    std::vector<std::pair<Inputs, std::unique_ptr<Laid>>> m_laid;
    std::size_t m_replaced = 0;
    AttributeSetter m_marks{EditorAttribute::blockID};
};

} // namespace quorrin::editortext
