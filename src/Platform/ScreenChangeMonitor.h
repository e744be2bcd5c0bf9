#pragma once

#include <QObject>

class QScreen;

namespace quorrin {

// Announces every change of the screen configuration: a screen added or
// removed, the primary screen changed, a screen's geometry or visible area
// changed. One reconfiguration usually announces several changes in a row;
// listeners merge them.
class ScreenChangeMonitor final : public QObject {
    Q_OBJECT
public:
    explicit ScreenChangeMonitor(QObject* parent = nullptr);

Q_SIGNALS:
    void changed();

private:
    void watch(QScreen* screen);
};

} // namespace quorrin
