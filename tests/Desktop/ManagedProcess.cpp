#include "Desktop/ManagedProcess.h"

#include <csignal>
#include <optional>
#include <sys/prctl.h>
#include <unistd.h>

namespace quorrin::desktop {

namespace {

void dieWithParent()
{
    // The test process may be killed by a timeout: take the child along.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // Its own process group, so the terminal's signals go to the test alone.
    ::setpgid(0, 0);
}

} // namespace

bool ManagedProcess::start(const QString& program, const QStringList& arguments,
                           const QProcessEnvironment& environment, const QString& outputFile,
                           const QString& errorFile)
{
    m_process.setProgram(program);
    m_process.setArguments(arguments);
    m_process.setProcessEnvironment(environment);
    m_process.setChildProcessModifier(dieWithParent);
    m_process.setStandardInputFile(QProcess::nullDevice());
    if (!outputFile.isEmpty())
        m_process.setStandardOutputFile(outputFile);
    m_process.setStandardErrorFile(errorFile.isEmpty() ? QProcess::nullDevice() : errorFile);
    m_process.start();
    return m_process.waitForStarted(10000);
}

QString ManagedProcess::readLine(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!m_process.canReadLine()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !m_process.waitForReadyRead(int(left.count())))
            return {};
    }
    return QString::fromUtf8(m_process.readLine()).trimmed();
}

bool ManagedProcess::stop(std::chrono::milliseconds grace)
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    m_process.terminate();
    if (m_process.waitForFinished(int(grace.count())))
        return true;
    m_process.kill();
    m_process.waitForFinished(5000);
    return false;
}

bool ManagedProcess::waitForExit(std::chrono::milliseconds timeout)
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    return m_process.waitForFinished(int(timeout.count()));
}

std::optional<QByteArray> runTool(const QString& program, const QStringList& arguments,
                                  const QProcessEnvironment& environment, std::chrono::milliseconds timeout)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier(dieWithParent);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(int(timeout.count())))
        return std::nullopt;
    if (!process.waitForFinished(int(timeout.count()))) {
        process.kill();
        process.waitForFinished(2000);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

} // namespace quorrin::desktop
