#pragma once

#include <QObject>

class QSocketNotifier;

namespace quorrin {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the main thread, so a
// request to stop from outside runs the same quit protocol as the menu's Quit.
// One instance per process.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void drain();

    int m_fds[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace quorrin
