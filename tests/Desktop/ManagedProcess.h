#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace quorrin::desktop {

// A child process that lives exactly as long as this object: it is ended
// (SIGTERM, then SIGKILL) when the object goes, and dies with the test
// process should that be killed first. Output goes to files, so nothing needs
// an event loop to drain pipes.
class ManagedProcess {
public:
    ManagedProcess() = default;
    ~ManagedProcess() { stop(); }
    ManagedProcess(const ManagedProcess&) = delete;
    ManagedProcess& operator=(const ManagedProcess&) = delete;

    // Starts the program; stdout is kept in memory (readable through
    // readLine) unless outputFile names a file, stderr goes to errorFile or
    // nowhere.
    bool start(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
               const QString& outputFile = {}, const QString& errorFile = {});

    // Reads one line of standard output within the timeout (stdout kept in
    // memory only).
    QString readLine(std::chrono::milliseconds timeout);

    bool running() const { return m_process.state() != QProcess::NotRunning; }
    qint64 pid() const { return m_process.processId(); }
    QString program() const { return m_process.program(); }

    // Sends SIGTERM and waits; SIGKILL after the grace period. Returns
    // whether the process ended on its own within the grace period.
    bool stop(std::chrono::milliseconds grace = std::chrono::milliseconds(3000));
    // Waits for the process to end by itself.
    bool waitForExit(std::chrono::milliseconds timeout);
    int exitCode() const { return m_process.exitCode(); }
    bool crashed() const { return m_process.exitStatus() == QProcess::CrashExit; }

private:
    QProcess m_process;
};

// Runs a short-lived helper program to its end; returns its standard output,
// or nothing when it failed or timed out.
std::optional<QByteArray> runTool(const QString& program, const QStringList& arguments,
                                  const QProcessEnvironment& environment,
                                  std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

} // namespace quorrin::desktop
