#pragma once

#include "Domain/NoteTheme.h"

#include <QColor>
#include <QWidget>

namespace quorrin {

// The rounded, bordered surface the floating panels are built on. It keeps
// the resolved values of its theme's surface and border colours and takes
// them again whenever its palette (and with it the appearance) changes.
class ThemedSurfaceView : public QWidget {
    Q_OBJECT
public:
    explicit ThemedSurfaceView(QWidget* parent = nullptr);

    const NoteTheme& theme() const { return m_theme; }
    void setTheme(const NoteTheme& theme);

    double cornerRadius() const { return m_cornerRadius; }
    // Also what the surface is drawn with; until the first call the corners
    // are square, as every owner sets its own radius right after making it.
    void setCornerRadius(double radius);

    // Resolves the theme's surface and border for the current appearance and repaints.
    virtual void applyTheme();

    QColor backgroundColor() const { return m_background; }
    QColor borderColor() const { return m_border; }

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr double borderWidth = 0.5;

    NoteTheme m_theme = NoteTheme::neutral();
    double m_cornerRadius = 12;
    double m_drawnCornerRadius = 0;
    QColor m_background;
    QColor m_border;
};

} // namespace quorrin
