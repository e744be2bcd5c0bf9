#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace quorrin {

// The text service other applications call to make a note from selected
// text: method NewFromSelection(string) of interface
// "org.quorrin.Quorrin.TextService" at "/TextService", under the bus name
// "org.quorrin.Quorrin" on the session bus. A refused call answers a D-Bus
// error whose message is the handler's text. Without a bus nothing is
// offered and the application runs on.
class TextServiceEndpoint final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quorrin.Quorrin.TextService")

public:
    inline static const QString serviceName = QStringLiteral("org.quorrin.Quorrin");
    inline static const QString objectPath = QStringLiteral("/TextService");
    inline static const QString interfaceName = QStringLiteral("org.quorrin.Quorrin.TextService");
    inline static const QString refusedError = QStringLiteral("org.quorrin.Quorrin.TextService.Refused");
    // Text beyond this many bytes (as UTF-8) would tie the application up
    // laying it out; it is refused before anything is made of it.
    static constexpr qsizetype maximumTextBytes = 1 << 20;
    inline static const QString textTooLongMessage = QStringLiteral("选中的文字过长（超过 1 MB），未建立便笺。");

    // Makes a note from the text; answers the error text when it cannot.
    using Handler = std::function<std::optional<QString>(const QString& text)>;

    explicit TextServiceEndpoint(Handler handler, QObject* parent = nullptr);

    // Told of a text refused for its length, after the caller got the error.
    std::function<void(const QString& message)> onTooLong;

    static bool isTooLong(const QString& text);
    ~TextServiceEndpoint() override;

    // Offers the service on the connection; false when the connection is not
    // up, or the object or the name cannot be registered.
    bool registerOn(const QDBusConnection& connection);
    bool isRegistered() const { return m_connection.has_value(); }

public Q_SLOTS:
    void NewFromSelection(const QString& text);

private:
    void unregister();

    Handler m_handler;
    std::optional<QDBusConnection> m_connection;
};

} // namespace quorrin
