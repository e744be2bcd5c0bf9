#include "Windows/StickyPanel.h"

#include "Platform/QtScreenProvider.h"
#include "Widgets/IdleBackingStoreRelease.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

namespace quorrin {

StickyPanel::StickyPanel(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Quorrin"));
    IdleBackingStoreRelease::install(*this);
}

QRectF StickyPanel::frame() const
{
    const auto coordinates = QtScreenProvider::coordinates().value_or(ScreenCoordinates());
    QRect shown = geometry();
    if (m_serverPosition && m_serverPosition->known == shown.topLeft())
        shown.moveTopLeft(m_serverPosition->server);
    return coordinates.toModel(QRectF(shown));
}

void StickyPanel::setServerPosition(QPoint position)
{
    m_serverPosition = ServerPosition{geometry().topLeft(), position};
}

void StickyPanel::setFrame(const QRectF& modelFrame)
{
    m_serverPosition.reset();
    const auto coordinates = QtScreenProvider::coordinates().value_or(ScreenCoordinates());
    setGeometry(coordinates.toQt(modelFrame).toRect());
}

void StickyPanel::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    // Showing queues an update of each widget of the window. Delivered only
    // after the window's first expose (which paints it already), they would
    // paint the whole window a second time; delivered now, they mark what
    // that expose paints.
    if (visible && isVisible())
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
}

void StickyPanel::watchWindow()
{
    // Mouse events reach the native window before any child widget: the one
    // place to see every mouse-down of the panel first.
    if (QWindow* handle = windowHandle())
        handle->installEventFilter(this);
}

bool StickyPanel::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::WinIdChange:
        watchWindow();
        break;
    case QEvent::Show:
        watchWindow();
        // Shown before the native window is mapped, so the request goes with
        // the window's first state; a window manager drops it on every hide.
        if (QWindow* handle = windowHandle(); handle && requestBehaviour)
            requestBehaviour(*handle, X11WindowBehaviour::note);
        break;
    case QEvent::Move:
    case QEvent::ScreenChangeInternal: {
        const bool fromServer = event->type() == QEvent::ScreenChangeInternal || event->spontaneous();
        if (fromServer && noteID && onServerEvent) {
            bool handled = false;
            const auto defaultHandling = [this, event, &handled] {
                if (!handled)
                    handled = QWidget::event(event);
            };
            onServerEvent(event->type() == QEvent::Move ? ServerEvent::Moved : ServerEvent::ScreenChanged,
                          defaultHandling);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::event(event);
}

bool StickyPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && onWindowDragMouseDown && onWindowDragMouseDown(mouse))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void StickyPanel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace quorrin
