#pragma once

#include "Platform/X11WindowBehaviour.h"

#include <QUuid>
#include <QWidget>

#include <functional>
#include <optional>

class QMouseEvent;

namespace quorrin {

// The top-level window of a note: frameless, a tool window (no taskbar
// entry), transparent around the painted paper. Its frame is set in model
// coordinates and is never pulled back onto a screen: a note may sit partly
// off-screen. Escape neither closes it nor beeps. Every time it is shown it
// asks the window manager to keep it on all desktops and out of the task bar,
// pagers and window cycling.
class StickyPanel : public QWidget {
    Q_OBJECT

public:
    // Window-system geometry changes the workspace reconciles.
    enum class ServerEvent { Moved, ScreenChanged };
    using ServerEventHandler =
        std::function<void(ServerEvent event, const std::function<void()>& defaultHandling)>;

    explicit StickyPanel(QWidget* parent = nullptr);

    // Offered every left mouse-down in the window before any view sees it;
    // answering true consumes the event.
    std::function<bool(QMouseEvent*)> onWindowDragMouseDown;

    // Set by the workspace when it attaches the note: window-server moves and
    // screen changes go to `onServerEvent`, which decides when (and whether
    // within the call) the default handling runs.
    std::optional<QUuid> noteID;
    ServerEventHandler onServerEvent;

    // Requests window behaviours from the window system; tests replace it.
    std::function<bool(QWindow&, const WindowBehaviour&)> requestBehaviour = X11WindowBehaviour::apply;

    // The window frame in model coordinates (origin bottom left, y up).
    QRectF frame() const;
    void setFrame(const QRectF& modelFrame);
    // Where the window server has the window's top-left corner while the
    // window manager moves it without reporting the move yet (toolkit
    // coordinates): the frame stands there until the toolkit learns of any
    // new place, reported or set.
    void setServerPosition(QPoint position);

    // Showing marks every widget of the window for painting before the
    // window is mapped, so its first expose paints it once, whole.
    void setVisible(bool visible) override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void watchWindow();

    struct ServerPosition {
        QPoint known;  // where the toolkit had the window then
        QPoint server; // where the server had it
    };
    std::optional<ServerPosition> m_serverPosition;
};

} // namespace quorrin
