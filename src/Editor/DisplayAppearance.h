#pragma once

#include "Domain/Note.h"
#include "Core/Text/AttributedString.h"

#include <QSyntaxHighlighter>

#include <functional>
#include <optional>
#include <set>

namespace quorrin {

// How one stretch of text is shown, whatever its stored attributes say.
namespace appearance {

enum class ShownColour {
    Stored,    // as stored
    Text,      // the normal text colour
    Secondary, // the secondary label colour
};
struct ShownStyle {
    ShownColour colour = ShownColour::Stored;
    bool struck = false;
    friend bool operator==(const ShownStyle&, const ShownStyle&) = default;
};

// A grey so light (in the light appearance) or so dark (in the dark one)
// that it would vanish against the paper.
bool isUnreadable(const Rgba& colour, bool dark);

// Remarks are shown in the secondary colour; an unreadable stored colour in
// the text colour; a completed todo's own line struck through in the
// secondary colour, whatever its stored colour.
ShownStyle shownStyle(bool isRemarks, const std::optional<TextColor>& stored, bool dark, bool completedTodo);

// The todos of the note that are completed.
std::set<QUuid> completedTodos(const Note& note);

} // namespace appearance

// Appearance that is shown but never stored: remarks in the secondary
// colour, completed todos struck through, unreadable greys recoloured.
// Drawn as layout formats over the document, so the stored text keeps its
// own attributes.
class DisplayAppearance final : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit DisplayAppearance(QTextDocument* document);

    // Takes the completed todos and the appearance; redraws only when either changed.
    void update(std::set<QUuid> completed, bool dark);
    // Replaces the document's text through `replace`, and then draws what
    // the new text shows otherwise than stored: not paragraph by paragraph
    // as it arrives, and not at all when none of its formats asks for it
    // (a long plain text, say).
    void replaceText(const std::function<void()>& replace);
    bool isDark() const { return m_dark; }
    const std::set<QUuid>& completed() const { return m_completed; }

protected:
    void highlightBlock(const QString& text) override;

private:
    struct Shown {
        appearance::ShownStyle style;
        bool link = false;
    };
    Shown shownAs(const QTextCharFormat& format) const;
    bool showsAnyOtherwise() const;

    std::set<QUuid> m_completed;
    bool m_dark = false;
};

} // namespace quorrin
