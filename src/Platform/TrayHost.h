#pragma once

#include <QObject>

namespace quorrin {

// Whether the desktop has a tray that shows the application's status icon,
// and when that changes: some desktops have none, and a panel may start (or
// restart) after the application. Tests replace it.
class TrayHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool isAvailable() const = 0;

Q_SIGNALS:
    void availabilityChanged(bool available);
};

} // namespace quorrin
