#include "Persistence/BackgroundRecordWrite.h"

#include <QThread>

#include <utility>

namespace quorrin {

BackgroundRecordWrite::BackgroundRecordWrite(QObject* parent)
    : QObject(parent)
{
}

BackgroundRecordWrite::~BackgroundRecordWrite()
{
    wait();
}

void BackgroundRecordWrite::start(RecordStore& store, RecordChanges changes, std::function<void()> after)
{
    Q_ASSERT(!m_thread);
    const quint64 write = ++m_started;
    // The changes are the thread's own copy: the bytes they share with the
    // caller's are never written to, by either side.
    m_thread.reset(QThread::create([this, write, &store, changes = std::move(changes), after = std::move(after)] {
        try {
            store.apply(changes);
        } catch (...) {
            m_failure = std::current_exception();
        }
        try {
            if (after)
                after();
        } catch (...) {
            // What follows the write only prepares the next one: the write
            // itself stands.
        }
        // To this object's thread, which waits for this one to end. A write
        // waited for already may have been followed by another by the time
        // this arrives: that one is not done.
        QMetaObject::invokeMethod(this, [this, write] {
            if (write == m_started)
                Q_EMIT done();
        }, Qt::QueuedConnection);
    }));
    m_thread->start();
}

std::exception_ptr BackgroundRecordWrite::wait()
{
    if (!m_thread)
        return nullptr;
    m_thread->wait();
    m_thread.reset();
    return std::exchange(m_failure, nullptr);
}

} // namespace quorrin
