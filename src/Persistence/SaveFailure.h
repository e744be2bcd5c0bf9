#pragma once

#include "Domain/AppError.h"

#include <QString>

#include <chrono>
#include <exception>

namespace quorrin {

// Whether a failure came from a disk (or quota, or file-size limit) that
// has no room left.
bool isOutOfSpace(const std::exception_ptr& error);

// A save failed and its changes stay in memory until a later attempt
// writes them. Told apart from other failures because the user learns of it
// while typing, and learns again once the changes are saved.
struct UnsavedChangesError : AppError {
    using AppError::AppError;
};

// The failure of a save whose changes stay in memory, as the user reads it:
// what went wrong, that nothing typed is lost and that saving happens again
// by itself.
std::exception_ptr unsavedChangesError(const std::exception_ptr& cause);
bool isUnsavedChangesError(const std::exception_ptr& error);

// The waits between the store's own attempts to save again after a save
// failed: one second first, twice as long after every further failure, never
// more than a minute.
class SaveRetryBackoff {
public:
    static constexpr std::chrono::milliseconds firstWait{1000};
    static constexpr std::chrono::milliseconds longestWait{60000};

    // The wait before the next attempt.
    std::chrono::milliseconds next();
    // After a successful save the next failure starts again at the first wait.
    void reset() { m_next = firstWait; }

private:
    std::chrono::milliseconds m_next = firstWait;
};

} // namespace quorrin
