#include "Features/Panels/AuxiliaryController.h"

#include "Widgets/CloseKeys.h"

#include <QCloseEvent>

namespace quorrin {

AuxiliaryWindow::AuxiliaryWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    // Closing hides the window; its controller decides when it goes.
    setAttribute(Qt::WA_DeleteOnClose, false);
    closeOnKeys(*this);
}

bool AuxiliaryWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Q_EMIT activated();
    return QWidget::event(event);
}

void AuxiliaryWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

AuxiliaryController::AuxiliaryController(std::unique_ptr<AuxiliaryWindow> window, QObject* parent)
    : QObject(parent)
    , m_window(std::move(window))
{
    if (m_window) {
        connect(m_window.get(), &AuxiliaryWindow::closed, this, [this] {
            if (onClose)
                onClose();
        });
    }
}

AuxiliaryController::~AuxiliaryController() = default;

void AuxiliaryController::showWindow()
{
    if (!m_window)
        return;
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace quorrin
