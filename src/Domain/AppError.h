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

// Whether a text holds any Chinese characters (CJK ideographs): a message for
// the user always does, a library's own wording never.
inline bool hasChineseText(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
            return true;
    }
    return false;
}

} // namespace quorrin
