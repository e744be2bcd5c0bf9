#pragma once

#include <cerrno>
#include <csignal>
#include <exception>
#include <functional>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorrin::testing {

// A forked copy of the test process running one function. The child never
// returns into the test framework: it leaves with _exit and the function's
// result (or 255 when the function threw).
class ChildProcess {
public:
    explicit ChildProcess(const std::function<int()>& body)
    {
        m_pid = ::fork();
        if (m_pid == 0) {
            int code = 255;
            try {
                code = body();
            } catch (...) {
            }
            ::_exit(code);
        }
    }
    ~ChildProcess()
    {
        if (m_pid > 0 && !m_reaped) {
            ::kill(m_pid, SIGKILL);
            wait();
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }

    void kill() { ::kill(m_pid, SIGKILL); }

    // Whether the child has ended, without waiting for it.
    bool hasEnded()
    {
        if (!m_reaped && ::waitpid(m_pid, &m_status, WNOHANG) == m_pid)
            m_reaped = true;
        return m_reaped;
    }

    // Waits for the end; returns the raw wait status.
    int wait()
    {
        if (!m_reaped) {
            while (::waitpid(m_pid, &m_status, 0) < 0 && errno == EINTR) {
            }
            m_reaped = true;
        }
        return m_status;
    }
    // The exit code, or -1 when the child ended by a signal.
    int exitCode()
    {
        const int status = wait();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    int m_status = 0;
    bool m_reaped = false;
};

// Runs body in a child process and returns its exit code.
inline int runInChild(const std::function<int()>& body)
{
    ChildProcess child(body);
    return child.exitCode();
}

} // namespace quorrin::testing
