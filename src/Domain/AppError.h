#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace quorrin {

// A failure the user is meant to read: `message` is the ready Chinese text an
// alert shows as it is.
struct AppError : std::exception {
    QString message;

    explicit AppError(QString text)
        : message(std::move(text))
        , m_utf8(message.toUtf8())
    {
    }

    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QByteArray m_utf8;
};

} // namespace quorrin
