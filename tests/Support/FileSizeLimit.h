#pragma once

#include "Support/ChildProcess.h"

#include <QString>

#include <csignal>
#include <exception>
#include <functional>
#include <sys/resource.h>

namespace quorrin::testing {

// Exit codes for bodies run under a file-size limit.
inline constexpr int failedAsExpected = 0;
inline constexpr int reportedSuccess = 1;
inline constexpr int failedOtherwise = 2;
inline constexpr int limitNotSet = 254;

// Runs `body` in a child process that cannot write a file beyond `limit`
// bytes: the write that would cross it fails with EFBIG, as on a disk that
// has just filled up (SIGXFSZ is ignored so that the write returns instead of
// killing the child). Answers the child's exit code.
inline int runWithFileSizeLimit(rlim_t limit, const std::function<int()>& body)
{
    return runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit bound{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &bound) != 0)
            return limitNotSet;
        return body();
    });
}

// The text a file system refusing to grow a file gives, as the program words it.
inline const QString fileTooLargeReason = QStringLiteral("文件超出允许的大小");

// Runs `work` inside runWithFileSizeLimit: failedAsExpected when it throws an
// exception whose text names the limit as the reason, reportedSuccess when it
// returns normally, failedOtherwise for any other failure.
inline int outcomeUnderLimit(rlim_t limit, const std::function<void()>& work)
{
    return runWithFileSizeLimit(limit, [&] {
        try {
            work();
        } catch (const std::exception& error) {
            return QString::fromUtf8(error.what()).contains(fileTooLargeReason) ? failedAsExpected : failedOtherwise;
        } catch (...) {
            return failedOtherwise;
        }
        return reportedSuccess;
    });
}

} // namespace quorrin::testing
