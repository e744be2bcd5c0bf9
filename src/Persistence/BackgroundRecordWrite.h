#pragma once

#include "Core/Storage/RecordStore.h"

#include <QObject>

#include <exception>
#include <functional>
#include <memory>

class QThread;

namespace quorrin {

// The records of one save written on a thread of their own: SQLite takes
// seconds over the record of a note of many blocks, and the event loop turns
// meanwhile. The record store is that thread's alone while the write runs:
// it is used again only once wait() has returned.
class BackgroundRecordWrite : public QObject {
    Q_OBJECT

public:
    explicit BackgroundRecordWrite(QObject* parent = nullptr);
    // Waits for a write still running.
    ~BackgroundRecordWrite() override;

    // Starts writing `changes` into `store` in one transaction, and then
    // runs `after` on the same thread. Nothing else may be written
    // meanwhile: a write is started only once the last one was waited for.
    void start(RecordStore& store, RecordChanges changes, std::function<void()> after = {});
    // Whether a write was started and not yet waited for.
    bool isStarted() const { return bool(m_thread); }
    // Waits until the write started last is done, and tells why it failed,
    // if it did.
    std::exception_ptr wait();

Q_SIGNALS:
    // A write is done; sent through the event loop of this object's thread.
    void done();

private:
    std::unique_ptr<QThread> m_thread;
    std::exception_ptr m_failure; // set by the writing thread, read once it ended
    quint64 m_started = 0;        // writes started, counted on this object's thread
};

} // namespace quorrin
