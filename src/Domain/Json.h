#pragma once

#include "Domain/HeapOptional.h"
#include "Domain/NoteColor.h"
#include "Domain/ParsedJson.h"
#include "Domain/RichText.h"
#include "Core/Time/Date.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>
#include <stdexcept>
#include <vector>

// Strict reading and canonical writing of the model's JSON.
//
// Reading: a required key that is missing, null or of the wrong type, or an
// enumeration string that names no case, fails the whole object (and every
// object that contains it). An optional key that is missing or null reads as
// absent. Keys nobody asks for are ignored.
//
// Writing: absent optionals are left out; keys come out sorted and compact;
// a number JSON cannot hold (NaN, infinity) fails instead of becoming null.
namespace quorrin::json {

class Error : public std::runtime_error {
public:
    explicit Error(const QString& reason, const QString& path = {});
    // "“Todo”不是可识别的取值（位置：blocks[2].kind）", or the bare reason at the top.
    QString message() const { return QString::fromUtf8(what()); }
    const QString& reason() const { return m_reason; }
    const QString& path() const { return m_path; }
    // The same failure seen one level further out: a key or "[index]".
    Error within(const QString& location) const;

private:
    QString m_reason;
    QString m_path;
};

// How one C++ type is read from and written to a JSON value. Model types
// provide `static T fromJson(const QJsonValue&)` and `QJsonValue toJson() const`;
// those stored in records also read a ParsedValue, with the same outcome.
template <typename T>
struct Coder {
    static T read(const QJsonValue& value) { return T::fromJson(value); }
    static T read(const ParsedValue& value) { return T::fromJson(value); }
    static QJsonValue write(const T& value) { return value.toJson(); }
};

template <> struct Coder<bool> {
    static bool read(const QJsonValue& value);
    static bool read(const ParsedValue& value);
    static QJsonValue write(bool value) { return value; }
};

template <> struct Coder<double> {
    static double read(const QJsonValue& value);
    static double read(const ParsedValue& value);
    static QJsonValue write(double value); // fails for NaN and infinities
};

// Whole numbers only: 2.5 or 1e30 fail to read rather than being cut.
template <> struct Coder<qint64> {
    static qint64 read(const QJsonValue& value);
    static qint64 read(const ParsedValue& value);
    static QJsonValue write(qint64 value) { return value; }
};

template <> struct Coder<QString> {
    static QString read(const QJsonValue& value);
    static QString read(const ParsedValue& value);
    static QJsonValue write(const QString& value) { return value; }
};

// Upper-case hyphenated text without braces; reading accepts either case.
template <> struct Coder<QUuid> {
    static QUuid read(const QJsonValue& value);
    static QUuid read(const ParsedValue& value);
    static QJsonValue write(const QUuid& value);
};

// Seconds since 2001-01-01T00:00:00Z.
template <> struct Coder<Date> {
    static Date read(const QJsonValue& value);
    static Date read(const ParsedValue& value);
    static QJsonValue write(Date value);
};

// Standard Base64 with padding; anything else fails to read.
template <> struct Coder<QByteArray> {
    static QByteArray read(const QJsonValue& value);
    static QByteArray read(const ParsedValue& value);
    static QJsonValue write(const QByteArray& value);
};

// {"rtf": Base64 of the RTF bytes}. The bytes are not checked to be RTF.
template <> struct Coder<RichText> {
    static RichText read(const QJsonValue& value);
    static RichText read(const ParsedValue& value);
    static QJsonValue write(const RichText& value);
};

// An enumeration written as its raw string; reading matches exactly.
template <typename E, QString (*rawValue)(E), std::optional<E> (*fromRawValue)(const QString&)>
struct EnumCoder {
    static E read(const QJsonValue& value) { return named(Coder<QString>::read(value)); }
    static E read(const ParsedValue& value) { return named(Coder<QString>::read(value)); }
    static QJsonValue write(E value) { return rawValue(value); }

private:
    static E named(const QString& raw)
    {
        if (const std::optional<E> parsed = fromRawValue(raw))
            return *parsed;
        throw Error(QStringLiteral("“%1”不是可识别的取值").arg(raw.size() <= 40 ? raw : raw.left(40) + QStringLiteral("…")));
    }
};

template <> struct Coder<NoteColor> : EnumCoder<NoteColor, noteColor::rawValue, noteColor::fromRawValue> {};

template <typename T>
struct Coder<std::vector<T>> {
    static std::vector<T> read(const QJsonValue& value)
    {
        if (!value.isArray())
            throw Error(QStringLiteral("应为数组"));
        const QJsonArray array = value.toArray();
        std::vector<T> result;
        result.reserve(size_t(array.size()));
        for (qsizetype index = 0; index < array.size(); ++index) {
            try {
                result.push_back(Coder<T>::read(array.at(index)));
            } catch (const Error& error) {
                throw error.within(QStringLiteral("[%1]").arg(index));
            }
        }
        return result;
    }
    static std::vector<T> read(const ParsedValue& value)
    {
        if (!value.isArray())
            throw Error(QStringLiteral("应为数组"));
        std::vector<T> result;
        result.reserve(size_t(value.size()));
        qsizetype index = 0;
        for (const ParsedValue element : value) {
            try {
                result.push_back(Coder<T>::read(element));
            } catch (const Error& error) {
                throw error.within(QStringLiteral("[%1]").arg(index));
            }
            ++index;
        }
        return result;
    }
    static QJsonValue write(const std::vector<T>& values)
    {
        QJsonArray array;
        for (const T& value : values)
            array.append(Coder<T>::write(value));
        return array;
    }
};

// Reads the keys of one JSON object, a QJsonValue or a ParsedValue; the
// model types read both through the same code.
class ObjectReader {
public:
    // Fails unless the value is an object.
    explicit ObjectReader(const QJsonValue& value);
    explicit ObjectReader(const ParsedValue& value);

    template <typename T>
    T get(QLatin1StringView key) const
    {
        if (m_isParsed)
            return required<T>(key, m_parsed.value(key));
        return required<T>(key, m_object.value(key));
    }

    template <typename T>
    std::optional<T> optional(QLatin1StringView key) const
    {
        if (m_isParsed)
            return optionalAt<T>(key, m_parsed.value(key));
        return optionalAt<T>(key, m_object.value(key));
    }

private:
    template <typename T, typename Value>
    static T required(QLatin1StringView key, const Value& value)
    {
        if (value.isUndefined() || value.isNull())
            throw Error(QStringLiteral("缺少字段“%1”").arg(key));
        return readAt<T>(key, value);
    }

    template <typename T, typename Value>
    static std::optional<T> optionalAt(QLatin1StringView key, const Value& value)
    {
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        return readAt<T>(key, value);
    }

    template <typename T, typename Value>
    static T readAt(QLatin1StringView key, const Value& value)
    {
        try {
            return Coder<T>::read(value);
        } catch (const Error& error) {
            throw error.within(QString(key));
        }
    }

    bool m_isParsed = false;
    QJsonObject m_object;
    ParsedValue m_parsed;
};

// Builds one JSON object; absent optionals leave their key out.
class ObjectWriter {
public:
    template <typename T>
    ObjectWriter& set(QLatin1StringView key, const T& value)
    {
        try {
            m_object.insert(key, Coder<T>::write(value));
        } catch (const Error& error) {
            throw error.within(QString(key));
        }
        return *this;
    }

    template <typename T>
    ObjectWriter& set(QLatin1StringView key, const std::optional<T>& value)
    {
        if (value)
            set(key, *value);
        return *this;
    }

    template <typename T>
    ObjectWriter& set(QLatin1StringView key, const HeapOptional<T>& value)
    {
        if (value)
            set(key, *value);
        return *this;
    }

    QJsonObject object() const& { return m_object; }
    QJsonObject object() && { return std::move(m_object); }

private:
    QJsonObject m_object;
};

// The canonical text of an object: keys sorted, no whitespace.
QByteArray serialize(const QJsonObject& object);
// Parses a JSON document whose top level is an object.
QJsonObject parseObject(const QByteArray& text);

template <typename T>
QByteArray encode(const T& value)
{
    return serialize(Coder<T>::write(value).toObject());
}

template <typename T>
T decode(const QByteArray& text)
{
    return Coder<T>::read(parseObject(text));
}

// The quick way to decode(): what decode() would give, read through a
// ParsedDocument, or nothing when that declines the text or the value, in
// which case decode() gives the answer (and words any error).
template <typename T>
std::optional<T> decodeQuickly(const QByteArray& text)
{
    const std::optional<ParsedDocument> document = ParsedDocument::parse(text);
    if (!document)
        return std::nullopt;
    try {
        return Coder<T>::read(document->root());
    } catch (const Error&) {
        return std::nullopt;
    }
}

} // namespace quorrin::json
