#include "Platform/TerminationSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorrin {

namespace {
int writeEnd = -1; // read by the signal handler; only async-signal-safe use

void forwardSignal(int signalNumber)
{
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
}

constexpr int handledSignals[] = {SIGTERM, SIGINT, SIGHUP};
} // namespace

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_fds) != 0)
        return;
    writeEnd = m_fds[0];
    m_notifier = new QSocketNotifier(m_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::drain);

    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : handledSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    for (int signalNumber : handledSignals)
        ::signal(signalNumber, SIG_DFL);
    writeEnd = -1;
    for (int fd : m_fds) {
        if (fd >= 0)
            ::close(fd);
    }
}

void TerminationSignals::drain()
{
    char bytes[16];
    ssize_t count = 0;
    while ((count = ::read(m_fds[1], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            Q_EMIT terminationRequested(int(bytes[i]));
    }
}

} // namespace quorrin
