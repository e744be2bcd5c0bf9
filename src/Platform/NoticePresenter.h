#pragma once

#include <QPointer>
#include <QString>

#include <functional>

class QWidget;

namespace quorrin {

// A notice the user reads while working on: it stands in front of the notes
// without taking the keyboard from the window being typed in (nothing typed
// goes astray, no key closes it unseen) and stays until the user closes it.
// Injected so that what is told can be tested without a display.
class NoticePresenter {
public:
    virtual ~NoticePresenter() = default;
    // Shows the notice, or puts this text in the one on screen.
    virtual void show(const QString& title, const QString& message) = 0;

    // Called when the user closed the notice.
    std::function<void()> onClosed;
};

// The real presenter: a small window in the top right corner of the screen
// that never takes the focus, closed by its button or its title bar.
class WindowNoticePresenter final : public NoticePresenter {
public:
    WindowNoticePresenter() = default;
    ~WindowNoticePresenter() override;
    WindowNoticePresenter(const WindowNoticePresenter&) = delete;
    WindowNoticePresenter& operator=(const WindowNoticePresenter&) = delete;

    void show(const QString& title, const QString& message) override;

private:
    QPointer<QWidget> m_window;
};

} // namespace quorrin
