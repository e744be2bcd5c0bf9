#pragma once

#include "Core/Text/CustomAttributes.h"

#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace quorrin {

// An sRGB colour with components in 0...1.
struct Rgba {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// A foreground colour: a fixed RGBA, or the dynamic text colour that follows
// the appearance (black-ish in light mode, white-ish in dark mode).
struct TextColor {
    std::optional<Rgba> rgba; // absent = the dynamic text colour

    static TextColor dynamicText() { return {}; }
    static TextColor fixed(Rgba value) { return TextColor{value}; }
    bool isDynamic() const { return !rgba.has_value(); }
    friend bool operator==(const TextColor&, const TextColor&) = default;
};

struct TextFont {
    QString family;
    double pointSize = 14;
    bool bold = false;
    bool italic = false;

    // The family that stands for "the system font": resolved to the
    // application's default font family when text is shown.
    static QString systemFamily();
    static TextFont system(double pointSize, bool bold = false);
    friend bool operator==(const TextFont&, const TextFont&) = default;
};

enum class TextAlignment { Natural, Left, Center, Right, Justified };

// Distances are in points. Indents are measured from the leading margin,
// except the tail indent: zero or negative insets the line end from the
// trailing margin by that amount, positive places it that far from the
// leading margin. Line spacing is extra space between the lines of a paragraph.
struct ParagraphStyle {
    TextAlignment alignment = TextAlignment::Natural;
    double firstLineHeadIndent = 0;
    double headIndent = 0;
    double tailIndent = 0;
    double paragraphSpacing = 0;       // space after the paragraph
    double paragraphSpacingBefore = 0;
    double lineSpacing = 0;
    friend bool operator==(const ParagraphStyle&, const ParagraphStyle&) = default;
};

struct TextAttributes {
    std::optional<TextFont> font;
    std::optional<TextColor> foreground;
    int underlineStyle = 0;     // 0 = none, 1 = single, 2 = thick, 9 = double; other values kept as given
    int strikethroughStyle = 0; // same values as underlineStyle
    std::optional<ParagraphStyle> paragraphStyle;
    CustomAttributes custom;
    friend bool operator==(const TextAttributes&, const TextAttributes&) = default;
};

// A UTF-16 string with attribute runs. Runs cover the whole string, in order,
// and neighbouring runs always differ (they are merged when they become equal).
class AttributedString {
public:
    struct Run {
        int start = 0;
        int length = 0;
        TextAttributes attributes;
        friend bool operator==(const Run&, const Run&) = default;
    };

    AttributedString() = default;
    explicit AttributedString(const QString& text, const TextAttributes& attributes = {});

    const QString& string() const { return m_text; }
    int length() const { return int(m_text.size()); }
    bool isEmpty() const { return m_text.isEmpty(); }
    const std::vector<Run>& runs() const { return m_runs; }

    // Attributes at one position (0 <= position < length()).
    TextAttributes attributesAt(int position) const;
    std::optional<CustomAttributeValue> customAt(int position, const QString& name) const;

    // Runs of the paragraph-style attribute over [start, start + length), in text order.
    struct ParagraphStyleRun {
        int start = 0;
        int length = 0;
        std::optional<ParagraphStyle> style;
    };
    std::vector<ParagraphStyleRun> paragraphStyleRuns(int start, int length) const;

    void setAttributes(int start, int length, const TextAttributes& attributes);
    void setFont(int start, int length, const std::optional<TextFont>& font);
    void setForeground(int start, int length, const std::optional<TextColor>& color);
    void setParagraphStyle(int start, int length, const std::optional<ParagraphStyle>& style);
    void setCustom(int start, int length, const QString& name, const CustomAttributeValue& value);
    void removeCustom(int start, int length, const QString& name);

    // Room for a text of that many characters and runs, built by appending.
    void reserve(int characters, std::size_t runs);

    AttributedString substring(int start, int length) const;
    // Keeps the first `length` characters, in place.
    void truncate(int length);
    void append(const AttributedString& other);
    void append(AttributedString&& other);
    // Appends text carrying the given attributes (cheap: touches only the last run).
    void append(const QString& text, const TextAttributes& attributes);
    void append(const QString& text, TextAttributes&& attributes);
    void replace(int start, int length, const AttributedString& replacement);

    friend bool operator==(const AttributedString&, const AttributedString&) = default;

private:
    template <typename Change> void modify(int start, int length, Change&& change);
    void normalize();
    void appendRun(Run run);
    template <typename Attributes> void appendText(const QString& text, Attributes&& attributes);

    QString m_text;
    std::vector<Run> m_runs;
};

} // namespace quorrin
