#pragma once

#include "Domain/NoteTheme.h"
#include "Core/Text/AttributedString.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QMenu;

namespace quorrin {

class HandCursorButton;
class MenuActionButton;
class TextFormatTarget;
class ThemedSurfaceView;

// The content of a format panel: collapsed, a round button "格" (the orb);
// expanded, a bar with bold, italic, underline and strikethrough toggles,
// smaller and larger size buttons, the current size and a colour menu. It
// acts only through its target and paints itself in the target's theme.
class TextFormatBar final : public QWidget {
    Q_OBJECT
public:
    static constexpr int crossFadeMs = 160;

    explicit TextFormatBar(TextFormatTarget* target, QWidget* parent = nullptr);

    TextFormatTarget* target() const { return m_target; }
    // The target goes before the bar: the owner clears it then.
    void setTarget(TextFormatTarget* target) { m_target = target; }

    // Takes the theme and the format from the target.
    void refresh();
    bool isExpanded() const { return m_expanded; }
    void setExpanded(bool expanded, bool animated);
    // A short spring of the orb as the panel appears (none under reduced motion).
    void playSummon(bool reducedMotion);
    // Orb and surface hug the right edge (the panel sits left of its note).
    void setAlignRight(bool alignRight);

    // The seven colours of the colour menu, in order.
    struct ColorChoice {
        QString title;
        TextColor color;
    };
    static std::vector<ColorChoice> colorChoices(Appearance appearance);
    // The menu of the colour button; the caller owns it.
    QMenu* makeColorMenu();

    std::function<void(bool entered)> onHover;
    // Opens the colour menu (the caller places it and keeps the bar
    // expanded while it is open); without it the menu opens below the button.
    std::function<void(QMenu& menu)> onColorMenu;
    // Where the colour menu opens, just below the colour button, relative to
    // the top left of the expanded bar.
    QPoint colorMenuOffset() const;

    // The parts, for the panel and for tests.
    HandCursorButton* orb() const { return m_orb; }
    ThemedSurfaceView* surface() const { return m_surface; }
    MenuActionButton* boldButton() const { return m_bold; }
    MenuActionButton* italicButton() const { return m_italic; }
    MenuActionButton* underlineButton() const { return m_underline; }
    MenuActionButton* strikeButton() const { return m_strike; }
    MenuActionButton* smallerButton() const { return m_smaller; }
    MenuActionButton* largerButton() const { return m_larger; }
    MenuActionButton* colorButton() const { return m_color; }
    QLabel* sizeLabel() const { return m_sizeLabel; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    MenuActionButton* makeButton(const QString& glyph, const QString& label, const QFont& font);
    void layoutParts();
    void applyTheme();
    void setToggle(MenuActionButton* button, bool on);
    void chooseColor();
    void setOpacities(double surface, double orb);

    TextFormatTarget* m_target = nullptr;
    ThemedSurfaceView* m_surface = nullptr;
    HandCursorButton* m_orb = nullptr;
    MenuActionButton* m_bold = nullptr;
    MenuActionButton* m_italic = nullptr;
    MenuActionButton* m_underline = nullptr;
    MenuActionButton* m_strike = nullptr;
    MenuActionButton* m_smaller = nullptr;
    MenuActionButton* m_larger = nullptr;
    MenuActionButton* m_color = nullptr;
    QLabel* m_sizeLabel = nullptr;
    NoteTheme m_theme = NoteTheme::neutral();
    bool m_alignRight = true;
    bool m_expanded = false;
};

} // namespace quorrin
