#include "Domain/Json.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>

namespace quorrin::json {

namespace {

const QString nilUuidText = QStringLiteral("00000000-0000-0000-0000-000000000000");

} // namespace

Error::Error(const QString& reason, const QString& path)
    : std::runtime_error((path.isEmpty() ? reason : path + QStringLiteral(": ") + reason).toStdString())
    , m_reason(reason)
    , m_path(path)
{
}

Error Error::within(const QString& location) const
{
    const bool joinsDirectly = m_path.isEmpty() || m_path.startsWith(u'[');
    return Error(m_reason, location + (joinsDirectly ? QString() : QStringLiteral(".")) + m_path);
}

bool Coder<bool>::read(const QJsonValue& value)
{
    if (!value.isBool())
        throw Error(QStringLiteral("expected a Boolean"));
    return value.toBool();
}

double Coder<double>::read(const QJsonValue& value)
{
    if (!value.isDouble())
        throw Error(QStringLiteral("expected a number"));
    return value.toDouble();
}

QJsonValue Coder<double>::write(double value)
{
    if (!std::isfinite(value))
        throw Error(QStringLiteral("cannot write the non-finite number %1").arg(value));
    return value;
}

qint64 Coder<qint64>::read(const QJsonValue& value)
{
    if (!value.isDouble())
        throw Error(QStringLiteral("expected a whole number"));
    // toInteger gives its fallback for fractions and out-of-range values;
    // two different fallbacks tell that apart from a genuine 0 or 1.
    const qint64 first = value.toInteger(0);
    if (first != value.toInteger(1))
        throw Error(QStringLiteral("expected a whole number within 64 bits"));
    return first;
}

QString Coder<QString>::read(const QJsonValue& value)
{
    if (!value.isString())
        throw Error(QStringLiteral("expected a string"));
    return value.toString();
}

QUuid Coder<QUuid>::read(const QJsonValue& value)
{
    const QString text = Coder<QString>::read(value);
    // QUuid also takes braces; the stored form never has them.
    const QUuid uuid = text.size() == 36 ? QUuid::fromString(text) : QUuid();
    if (uuid.isNull() && text != nilUuidText)
        throw Error(QStringLiteral("\"%1\" is not a UUID").arg(text));
    return uuid;
}

QJsonValue Coder<QUuid>::write(const QUuid& value)
{
    return value.toString(QUuid::WithoutBraces).toUpper();
}

Date Coder<Date>::read(const QJsonValue& value)
{
    return Date{Coder<double>::read(value)};
}

QJsonValue Coder<Date>::write(Date value)
{
    return Coder<double>::write(value.secondsSinceReferenceDate);
}

QByteArray Coder<QByteArray>::read(const QJsonValue& value)
{
    const QString text = Coder<QString>::read(value);
    if (text.size() % 4 != 0)
        throw Error(QStringLiteral("Base64 text of a length not divisible by 4"));
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            throw Error(QStringLiteral("invalid Base64 text"));
    }
    QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        throw Error(QStringLiteral("invalid Base64 text"));
    return std::move(decoded.decoded);
}

QJsonValue Coder<QByteArray>::write(const QByteArray& value)
{
    return QString::fromLatin1(value.toBase64());
}

RichText Coder<RichText>::read(const QJsonValue& value)
{
    const ObjectReader reader(value);
    return RichText::fromRtf(reader.get<QByteArray>(QLatin1StringView("rtf")));
}

QJsonValue Coder<RichText>::write(const RichText& value)
{
    return ObjectWriter().set(QLatin1StringView("rtf"), value.rtf()).object();
}

ObjectReader::ObjectReader(const QJsonValue& value)
{
    if (!value.isObject())
        throw Error(QStringLiteral("expected an object"));
    m_object = value.toObject();
}

QByteArray serialize(const QJsonObject& object)
{
    // QJsonObject keeps its keys sorted, so the compact form is canonical.
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonObject parseObject(const QByteArray& text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        throw Error(QStringLiteral("malformed JSON at offset %1: %2").arg(error.offset).arg(error.errorString()));
    if (!document.isObject())
        throw Error(QStringLiteral("expected an object"));
    return document.object();
}

} // namespace quorrin::json
