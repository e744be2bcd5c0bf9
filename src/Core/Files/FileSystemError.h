#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>
#include <stdexcept>

namespace quorrin {

// A failed file-system operation. `message` is a ready Chinese sentence naming
// what failed and why, fit to be shown to the user as it is.
class FileSystemError : public std::runtime_error {
public:
    explicit FileSystemError(const QString& text, int errorNumber = 0)
        : std::runtime_error(text.toStdString())
        , m_message(text)
        , m_errorNumber(errorNumber)
    {
    }

    // "<action>“<path>”：<reason>" with the reason taken from errno.
    static FileSystemError fromErrno(const QString& action, const QString& path, int errorNumber);
    // The system's reason for errno in Chinese; a reason the program does
    // not word itself follows a Chinese sentence as a detail.
    static QString reasonText(int errorNumber);
    // Why an operation on `device` just failed: errno's reason when the
    // system left one, else the kind of failure a file recorded. Call it
    // right after the failing call.
    static QString reasonText(const QIODevice& device);
    // Why the file at `path` cannot be opened for reading; nothing when it can.
    static std::optional<QString> readFailure(const QString& path);

    const QString& message() const { return m_message; }
    // The system's errno behind the failure; 0 when there was none.
    int errorNumber() const { return m_errorNumber; }

private:
    QString m_message;
    int m_errorNumber = 0;
};

} // namespace quorrin
