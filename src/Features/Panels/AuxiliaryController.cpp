#include "Features/Panels/AuxiliaryController.h"

#include <QCloseEvent>
#include <QShortcut>

namespace quorrin {

AuxiliaryWindow::AuxiliaryWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    // Closing hides the window; its controller decides when it goes.
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The keys that close a note close a panel too, as its close button does.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }
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
