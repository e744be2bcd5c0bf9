#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPoint>

#include <functional>

class QMouseEvent;
class QWidget;

namespace quorrin {

// Sees every left or right press inside the application before the window
// gets it (the event is passed on unchanged).
class LocalMouseMonitor final : public QObject {
    Q_OBJECT
public:
    // `handler` gets the top-level window that was pressed and the event
    // (positions relative to that window).
    explicit LocalMouseMonitor(std::function<void(QWidget* window, const QMouseEvent& event)> handler,
                               QObject* parent = nullptr);
    ~LocalMouseMonitor() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(QWidget*, const QMouseEvent&)> m_handler;
};

// Sees left and right presses in other applications without taking them:
// raw button events of the X server's XInput2 extension, selected on the
// root window through the application's own X connection. Where that is not
// available (another platform, no extension), the application losing
// activation stands in for a press elsewhere.
class GlobalMouseMonitor final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // `handler` gets the pointer position in Qt global coordinates.
    explicit GlobalMouseMonitor(std::function<void(const QPoint& point)> handler, QObject* parent = nullptr);
    ~GlobalMouseMonitor() override;

    // Whether raw presses are seen (false: the activation fallback is used).
    bool seesRawPresses() const { return m_opcode >= 0; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    bool selectRawPresses();
    void pressedElsewhere();

    std::function<void(const QPoint&)> m_handler;
    int m_opcode = -1;
};

} // namespace quorrin
