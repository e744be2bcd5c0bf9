#pragma once

#include <QObject>

class QAbstractButton;
class QWidget;

namespace quorrin {

// Shows the pointing-hand cursor while the pointer is over an enabled control
// and the arrow when it leaves. While the control is disabled the cursor is
// left alone. Lives as a child of the control it watches.
class HandPointer final : public QObject {
    Q_OBJECT
public:
    // Puts the hand pointer on a control (a picker, a list, a switch).
    static HandPointer* apply(QWidget* control);
    // Keeps the arrow over a button the application would otherwise give
    // the hand to.
    static void keepArrow(QAbstractButton* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit HandPointer(QWidget* control);
};

} // namespace quorrin
