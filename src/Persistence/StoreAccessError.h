#pragma once

#include <QHashFunctions>
#include <QString>

#include <exception>

namespace quorrin {

// The data directory is in use by another running instance.
class StoreAccessError : public std::exception {
public:
    enum class Kind { AlreadyRunning };

    static StoreAccessError alreadyRunning() { return StoreAccessError(Kind::AlreadyRunning); }

    Kind kind() const { return m_kind; }
    QString localizedDescription() const;
    const char* what() const noexcept override;

    friend bool operator==(const StoreAccessError& a, const StoreAccessError& b) { return a.m_kind == b.m_kind; }
    friend size_t qHash(const StoreAccessError& error, size_t seed = 0) noexcept
    {
        return ::qHash(int(error.m_kind), seed);
    }

private:
    explicit StoreAccessError(Kind kind)
        : m_kind(kind)
    {
    }

    Kind m_kind;
};

} // namespace quorrin
