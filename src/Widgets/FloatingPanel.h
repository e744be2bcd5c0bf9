#pragma once

#include <QPointer>
#include <QWidget>

namespace quorrin {

// A small borderless window floating beside a note window: a frameless tool
// window with a transparent background, kept above the note it is attached
// to (the window manager's transient-for link) at a given level. Unless it
// may take the focus, it never does: clicks on it leave the note's text
// focused and its selection intact.
class FloatingPanel : public QWidget {
    Q_OBJECT
public:
    enum class Focus { Never, WhenAsked };

    explicit FloatingPanel(Focus focus);

    // Keeps the panel above `noteWindow` at `level` (see WindowLevelAdapter).
    void attach(QWidget& noteWindow, int level);
    // Drops the link to the note window.
    void detach();
    QWidget* attachedWindow() const { return m_attachedTo; }

    // Shows the panel without taking the focus from the active window.
    void orderFront();
    void orderOut();

private:
    void linkTransientParent();

    QPointer<QWidget> m_attachedTo;
};

} // namespace quorrin
