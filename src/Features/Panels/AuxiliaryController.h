#pragma once

#include <QObject>
#include <QWidget>

#include <functional>
#include <memory>

namespace quorrin {

// The window of an auxiliary panel: an ordinary titled window that tells when
// it was closed. Escape and Ctrl+W close it.
class AuxiliaryWindow final : public QWidget {
    Q_OBJECT
public:
    explicit AuxiliaryWindow(QWidget* parent = nullptr);

Q_SIGNALS:
    void closed();
    // The window became the active window (opened, clicked, switched to).
    void activated();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

// Owns one auxiliary panel's window and reports each time it closes. The
// controller does not release itself: its owner does that in onClose, after
// the close has been handled.
class AuxiliaryController final : public QObject {
    Q_OBJECT
public:
    explicit AuxiliaryController(std::unique_ptr<AuxiliaryWindow> window, QObject* parent = nullptr);
    ~AuxiliaryController() override;

    AuxiliaryWindow* window() const { return m_window.get(); }
    // Shows the window in front and gives it the focus.
    void showWindow();

    std::function<void()> onClose;

private:
    std::unique_ptr<AuxiliaryWindow> m_window;
};

} // namespace quorrin
