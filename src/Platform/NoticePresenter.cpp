#include "Platform/NoticePresenter.h"

#include "Platform/WindowLevel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>

namespace quorrin {

namespace {

constexpr int screenMargin = 24;
constexpr int textWidth = 320;

// A tool window that the window manager never hands the keyboard: the
// application's other windows keep it while this one is shown, clicked or
// closed.
class NoticeWindow final : public QWidget {
public:
    explicit NoticeWindow(std::function<void()> closed)
        : QWidget(nullptr, Qt::Tool | Qt::WindowDoesNotAcceptFocus)
        , m_closed(std::move(closed))
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
        WindowLevelAdapter::apply(*this, windowLevel::modalPanel);

        auto* icon = new QLabel(this);
        const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(iconSize));
        icon->setAlignment(Qt::AlignTop);
        m_message = new QLabel(this);
        m_message->setWordWrap(true);
        m_message->setFixedWidth(textWidth);
        auto* close = new QPushButton(QStringLiteral("好"), this);
        close->setFocusPolicy(Qt::NoFocus);
        connect(close, &QPushButton::clicked, this, &QWidget::close);

        auto* text = new QHBoxLayout;
        text->addWidget(icon);
        text->addWidget(m_message, 1);
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(close);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(text);
        layout->addLayout(buttons);
    }

    void setText(const QString& title, const QString& message)
    {
        setWindowTitle(title);
        m_message->setText(message);
        adjustSize();
    }

    // In the top right corner of the screen the user works on, clear of the
    // middle where notes are usually typed in.
    void placeInCorner()
    {
        const QWidget* active = QApplication::activeWindow();
        QScreen* screen = active ? active->screen() : QGuiApplication::primaryScreen();
        if (!screen)
            return;
        const QRect available = screen->availableGeometry();
        move(available.right() - width() - screenMargin, available.top() + screenMargin);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        QWidget::closeEvent(event);
        if (event->isAccepted() && m_closed)
            m_closed();
    }

private:
    std::function<void()> m_closed;
    QLabel* m_message = nullptr;
};

} // namespace

WindowNoticePresenter::~WindowNoticePresenter()
{
    delete m_window;
}

void WindowNoticePresenter::show(const QString& title, const QString& message)
{
    auto* window = static_cast<NoticeWindow*>(m_window.data());
    const bool wasShown = window && window->isVisible();
    if (!window) {
        window = new NoticeWindow([this] {
            if (onClosed)
                onClosed();
        });
        m_window = window;
    }
    window->setText(title, message);
    if (!wasShown)
        window->placeInCorner();
    window->show();
    window->raise();
}

} // namespace quorrin
