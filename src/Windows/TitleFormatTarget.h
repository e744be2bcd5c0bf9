#pragma once

#include "Domain/NoteTheme.h"
#include "Editor/TextFormatTarget.h"

#include <QPointer>
#include <QTextEdit>

#include <functional>

namespace quorrin {

// What the title's format bar formats: the title field while it is edited.
// Its rules are the body's with four differences: a change is no undo step
// of its own, an input method composing makes a command do nothing (without
// a beep), sizes stay within 11...20 pt, and the target leaves its panel
// alone (the note window refreshes it).
class TitleFormatTarget final : public TextFormatTarget {
public:
    static constexpr double minimumSize = 11;
    static constexpr double maximumSize = 20;

    TitleFormatTarget(QTextEdit* editor, NoteTheme theme, TextFont defaultFont);

    QPointer<QTextEdit> editor; // the title field being edited
    TextFont defaultFont;

    NoteTheme noteTheme() const override { return m_theme; }
    TextFormat currentTextFormat() const override;
    void toggleBold() override;
    void toggleItalic() override;
    void toggleUnderline() override;
    void toggleStrikethroughFormat() override;
    void adjustFontSize(double delta) override;
    void setTextColor(const TextColor& color) override;

private:
    // The attributes of the first selected character, or the typing attributes.
    TextAttributes attributes() const;
    TextFont baseFont() const;
    bool hasSelection() const;
    bool composing() const;
    void changeSelection(const std::function<void(AttributedString&)>& change);
    void applyTyping(const std::function<void(TextAttributes&)>& change);
    void toggleTrait(textformat::FontTrait trait);

    NoteTheme m_theme; // fixed when the edit began
};

} // namespace quorrin
