#pragma once

#include "Domain/NoteTheme.h"
#include "Core/Text/AttributedString.h"

#include <optional>

namespace quorrin {

// The format at the caret or at the start of the selection, as the format bar shows it.
struct TextFormat {
    TextFont font;
    TextColor color;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    friend bool operator==(const TextFormat&, const TextFormat&) = default;
};

// What the format bar needs of the text it formats: the note body or the
// note title. The bar never touches text itself. Each command changes the
// selection (in the body as one undoable step), or, with nothing selected,
// the attributes of the next text typed.
class TextFormatTarget {
public:
    virtual ~TextFormatTarget() = default;

    // The colours the bar paints itself with.
    virtual NoteTheme noteTheme() const = 0;
    virtual TextFormat currentTextFormat() const = 0;
    virtual void toggleBold() = 0;
    virtual void toggleItalic() = 0;
    virtual void toggleUnderline() = 0;
    virtual void toggleStrikethroughFormat() = 0;
    // The bar passes -1 or +1 (points).
    virtual void adjustFontSize(double delta) = 0;
    virtual void setTextColor(const TextColor& color) = 0;
};

// The formatting rules, on the model's rich text.
namespace textformat {

// Undo names of the commands.
namespace actionName {
inline const QString bold = QStringLiteral("加粗");
inline const QString italic = QStringLiteral("斜体");
inline const QString underline = QStringLiteral("下划线");
inline const QString strikethrough = QStringLiteral("删除线");
inline const QString fontSize = QStringLiteral("字号");
inline const QString textColor = QStringLiteral("文字颜色");
inline const QString link = QStringLiteral("超链接");
inline const QString alignment = QStringLiteral("对齐");
} // namespace actionName
// The text attribute that holds a link's address.
inline const QString linkAttribute = QStringLiteral("Quorrin.link");

inline constexpr double minimumSize = 9;
inline constexpr double maximumSize = 48;

enum class FontTrait { Bold, Italic };

// The format of attributes; `base` stands in for a missing font. Underline
// and strikethrough count when their single-line bit is set.
TextFormat formatOf(const TextAttributes& attributes, const TextFont& base);

bool hasTrait(const TextFont& font, FontTrait trait);
TextFont withTrait(TextFont font, FontTrait trait, bool on);
// The size after a step: rounded half away from zero and kept within
// [minimum, maximum] (9...48 for the body); nothing when that is the
// current size.
std::optional<double> steppedSize(double current, double delta, double minimum = minimumSize,
                                  double maximum = maximumSize);

// Transforms of a selection's copy; a run without font starts from `base`.
void setTrait(AttributedString& text, FontTrait trait, bool on, const TextFont& base);
void setSize(AttributedString& text, double size, const TextFont& base);
void setUnderline(AttributedString& text, int style);
void setStrikethrough(AttributedString& text, int style);
void setColor(AttributedString& text, const TextColor& color);

} // namespace textformat
} // namespace quorrin
