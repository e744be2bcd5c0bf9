#include "Platform/TextServiceEndpoint.h"

#include <QDBusConnectionInterface>

namespace quorrin {

TextServiceEndpoint::TextServiceEndpoint(Handler handler, QObject* parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{
}

TextServiceEndpoint::~TextServiceEndpoint()
{
    unregister();
}

bool TextServiceEndpoint::registerOn(const QDBusConnection& connection)
{
    unregister();
    if (!connection.isConnected())
        return false;
    QDBusConnection bus = connection;
    if (!bus.registerObject(objectPath, this, QDBusConnection::ExportAllSlots))
        return false;
    if (!bus.registerService(serviceName)) {
        bus.unregisterObject(objectPath);
        return false;
    }
    m_connection = bus;
    return true;
}

void TextServiceEndpoint::unregister()
{
    if (!m_connection)
        return;
    m_connection->unregisterService(serviceName);
    m_connection->unregisterObject(objectPath);
    m_connection.reset();
}

bool TextServiceEndpoint::isTooLong(const QString& text)
{
    // A UTF-16 unit is at least one byte in UTF-8: most texts are decided
    // without encoding them.
    if (text.size() > maximumTextBytes)
        return true;
    if (text.size() * 3 <= maximumTextBytes)
        return false;
    return text.toUtf8().size() > maximumTextBytes;
}

void TextServiceEndpoint::NewFromSelection(const QString& text)
{
    if (isTooLong(text)) {
        if (calledFromDBus())
            sendErrorReply(refusedError, textTooLongMessage);
        if (onTooLong)
            onTooLong(textTooLongMessage);
        return;
    }
    const std::optional<QString> error = m_handler ? m_handler(text) : std::nullopt;
    if (error && calledFromDBus())
        sendErrorReply(refusedError, *error);
}

} // namespace quorrin
