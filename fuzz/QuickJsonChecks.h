#pragma once

// The quick reader of stored JSON (ParsedDocument) against the ordinary one
// (QJsonDocument): whatever the quick reader accepts must read as the same
// values, decode to the same model and write the same bytes, since rows it
// accepts never meet the ordinary reader at all.

#include "Domain/BackupManifest.h"
#include "Domain/Json.h"
#include "Domain/Note.h"
#include "Domain/ParsedJson.h"
#include "Domain/Preferences.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>
#include <memory>
#include <optional>
#include <variant>

namespace quorrin::fuzzing {

namespace quick {

inline bool isAscii(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// Whether the quick reading of a value is the ordinary one: same type, same
// double to the bit, the same whole number, the same text, the same members.
inline bool sameValue(const json::ParsedValue& quick, const QJsonValue& ordinary)
{
    switch (ordinary.type()) {
    case QJsonValue::Null: return quick.isNull();
    case QJsonValue::Bool: return quick.isBool() && quick.toBool() == ordinary.toBool();
    case QJsonValue::Double: {
        if (!quick.isDouble())
            return false;
        const double quickNumber = quick.toDouble();
        const double ordinaryNumber = ordinary.toDouble();
        if (std::memcmp(&quickNumber, &ordinaryNumber, sizeof quickNumber) != 0)
            return false;
        const std::optional<qint64> whole = quick.wholeNumber();
        return !whole || ordinary.toInteger(*whole ^ 1) == *whole;
    }
    case QJsonValue::String: {
        if (!quick.isString() || quick.toString() != ordinary.toString())
            return false;
        const std::optional<QByteArrayView> ascii = quick.plainAscii();
        return !ascii || QString::fromLatin1(*ascii) == ordinary.toString();
    }
    case QJsonValue::Array: {
        const QJsonArray array = ordinary.toArray();
        if (!quick.isArray() || quick.size() != array.size())
            return false;
        qsizetype index = 0;
        for (const json::ParsedValue element : quick) {
            if (index >= array.size() || !sameValue(element, array.at(index)))
                return false;
            ++index;
        }
        return index == array.size();
    }
    case QJsonValue::Object: {
        const QJsonObject object = ordinary.toObject();
        if (!quick.isObject() || quick.size() != object.size())
            return false;
        qsizetype members = 0;
        for (const json::ParsedValue member : quick) {
            (void)member;
            ++members;
        }
        if (members != object.size() || !quick.value(QLatin1StringView("\x01 absent")).isUndefined())
            return false;
        // Lookups take Latin-1 keys; the program asks only for ASCII ones.
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!isAscii(it.key()))
                continue;
            const QByteArray key = it.key().toLatin1();
            if (!sameValue(quick.value(QLatin1StringView(key)), it.value()))
                return false;
        }
        return true;
    }
    case QJsonValue::Undefined: return false;
    }
    return false;
}

// The bytes a value writes, or the reason writing failed.
template <typename T>
std::variant<QByteArray, QString> written(const T& value)
{
    try {
        return json::encode(value);
    } catch (const json::Error& error) {
        return error.message();
    }
}

// Whatever decodes quickly decodes the ordinary way to an equal value that
// writes the same bytes.
template <typename T>
bool decodesAlike(const QByteArray& input)
{
    const std::optional<T> quick = json::decodeQuickly<T>(input);
    if (!quick)
        return true;
    std::optional<T> ordinary;
    try {
        ordinary = json::decode<T>(input);
    } catch (const json::Error&) {
        return false;
    }
    return *quick == *ordinary && written(*quick) == written(*ordinary);
}

} // namespace quick

// The quick reader reads the input from a buffer of exactly its size, so
// that the sanitizer sees any byte read past its end; what it accepts the
// ordinary reader must accept as the same document, and the note, manifest
// and preferences decoded either way must agree.
inline bool checkQuickJson(const QByteArray& input)
{
    const auto exact = std::make_unique<char[]>(size_t(input.size()));
    std::memcpy(exact.get(), input.constData(), size_t(input.size()));
    const std::optional<json::ParsedDocument> document =
        json::ParsedDocument::parse(QByteArrayView(exact.get(), input.size()));
    if (!document)
        return true;
    QJsonParseError error;
    const QJsonDocument ordinary = QJsonDocument::fromJson(input, &error);
    if (error.error != QJsonParseError::NoError || !ordinary.isObject())
        return false;
    return quick::sameValue(document->root(), ordinary.object()) && quick::decodesAlike<BackupManifest>(input)
        && quick::decodesAlike<Note>(input) && quick::decodesAlike<Preferences>(input);
}

} // namespace quorrin::fuzzing
