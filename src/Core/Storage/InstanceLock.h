#pragma once

#include <QString>

#include <stdexcept>

namespace quorrin {

class InstanceLockError : public std::runtime_error {
public:
    enum class Reason {
        CannotOpen,           // the lock file could not be opened or created
        HeldByAnotherInstance, // another open of the lock file holds the lock
        CannotLock,           // locking itself failed (no lock support, no lock memory...)
    };

    InstanceLockError(Reason reason, int systemError, const QString& path);

    Reason reason() const { return m_reason; }
    int systemError() const { return m_systemError; } // the errno of the failing call
    const QString& path() const { return m_path; }

private:
    Reason m_reason;
    int m_systemError;
    QString m_path;
};

// An exclusive advisory lock on "Instance.lock" in a data directory, held for
// the life of the object. The lock file is created with mode 0600 when missing
// and never deleted: deleting it would let a second instance lock a fresh file
// while the first still holds the old one.
//
// The lock belongs to the open file description, so a second InstanceLock on
// the same directory is refused even within one process.
class InstanceLock {
public:
    static constexpr const char* fileName = "Instance.lock";

    explicit InstanceLock(const QString& directory); // throws InstanceLockError
    InstanceLock(InstanceLock&& other) noexcept;
    InstanceLock& operator=(InstanceLock&& other) noexcept;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

    const QString& path() const { return m_path; }

private:
    void release() noexcept;

    QString m_path;
    int m_descriptor = -1;
};

} // namespace quorrin
