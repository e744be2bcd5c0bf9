#include "Domain/Json.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <array>
#include <cmath>
#include <string_view>

namespace quorrin::json {

namespace {

// A table of the values of some ASCII characters, -1 for every other one.
// Looking values up instead of comparing ranges keeps the readers below free
// of branches that random digits would mispredict.
constexpr std::array<qint8, 128> valueTable(std::string_view digits)
{
    std::array<qint8, 128> values{};
    values.fill(-1);
    for (size_t index = 0; index < digits.size(); ++index)
        values[size_t(digits[index])] = qint8(index);
    return values;
}

constexpr std::array<qint8, 128> hexDigitValues = [] {
    std::array<qint8, 128> values = valueTable("0123456789abcdef");
    for (char digit = 'A'; digit <= 'F'; ++digit)
        values[size_t(digit)] = qint8(digit - 'A' + 10);
    return values;
}();

constexpr std::array<qint8, 128> base64Values =
    valueTable("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");

// Whether every unit of the text is ASCII, so that it can index the tables.
bool isAscii(QStringView text)
{
    char16_t allUnits = 0;
    for (QChar c : text)
        allUnits |= c.unicode();
    return allUnits < 0x80;
}

// The code of one unit of stored text: a UTF-16 unit, or a byte of text
// known to be ASCII.
char16_t unitCode(QChar unit)
{
    return unit.unicode();
}

char16_t unitCode(char byte)
{
    return char16_t(quint8(byte));
}

// Whether every unit of the text is ASCII, so that it can index the tables.
bool isAscii(QByteArrayView text)
{
    quint8 allBytes = 0;
    for (char byte : text)
        allBytes |= quint8(byte);
    return allBytes < 0x80;
}

// A UUID as stored: 8-4-4-4-12 hex digits of either case, without braces.
// For text of that length QUuid::fromString accepts exactly the same, but it
// made up a noticeable part of opening the store.
template <typename Text>
std::optional<QUuid> parseUuid(Text text)
{
    if (text.size() != 36 || !isAscii(text))
        return std::nullopt;
    if (text[8] != u'-' || text[13] != u'-' || text[18] != u'-' || text[23] != u'-')
        return std::nullopt;
    constexpr std::array<qsizetype, 16> bytePositions = {0, 2, 4, 6, 9, 11, 14, 16, 19, 21, 24, 26, 28, 30, 32, 34};
    std::array<char, 16> bytes{};
    qint32 anyInvalid = 0; // negative once a character is not a hex digit
    for (size_t index = 0; index < bytes.size(); ++index) {
        const qint32 high = hexDigitValues[unitCode(text[bytePositions[index]])];
        const qint32 low = hexDigitValues[unitCode(text[bytePositions[index] + 1])];
        anyInvalid |= high | low;
        bytes[index] = char(high << 4 | low);
    }
    if (anyInvalid < 0)
        return std::nullopt;
    return QUuid::fromRfc4122(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

// Standard Base64 of a length divisible by 4: whole groups of four letters,
// the last of which may end in "=" or "==". The bits the padding leaves over
// are ignored. This accepts exactly what QByteArray::fromBase64Encoding does
// with AbortOnBase64DecodingErrors, but without its test-and-branch per
// character: every rich text is stored this way, and Qt's decoder dominated
// the cost of reading notes.
template <typename Text>
std::optional<QByteArray> decodeBase64(Text text)
{
    Q_ASSERT(text.size() % 4 == 0);
    if (!isAscii(text))
        return std::nullopt;

    const auto isPad = [&](qsizetype index) { return index >= 0 && unitCode(text[index]) == u'='; };
    const qsizetype last = text.size() - 1;
    const qsizetype padding = isPad(last) ? (isPad(last - 1) ? 2 : 1) : 0;
    const qsizetype letters = text.size() - padding;
    QByteArray bytes(letters * 3 / 4, Qt::Uninitialized);
    char* out = bytes.data();
    const auto value = [&](qsizetype index) -> qint32 { return base64Values[unitCode(text[index])]; };
    qint32 anyInvalid = 0; // negative once a unit is not a letter
    qsizetype index = 0;
    for (; index + 4 <= letters; index += 4) {
        const qint32 a = value(index), b = value(index + 1), c = value(index + 2), d = value(index + 3);
        anyInvalid |= a | b | c | d;
        const quint32 group = quint32(a) << 18 | quint32(b) << 12 | quint32(c) << 6 | quint32(d);
        *out++ = char(group >> 16);
        *out++ = char(group >> 8);
        *out++ = char(group);
    }
    // The padded group: two letters give one byte, three give two. A single
    // letter cannot happen: its group would be "X===", whose second "=" is
    // read as a letter here and refused.
    const qsizetype rest = letters - index;
    if (rest > 0) {
        const qint32 a = value(index), b = value(index + 1), c = rest == 3 ? value(index + 2) : 0;
        anyInvalid |= a | b | c;
        const quint32 group = quint32(a) << 18 | quint32(b) << 12 | quint32(c) << 6;
        *out++ = char(group >> 16);
        if (rest == 3)
            *out++ = char(group >> 8);
    }
    Q_ASSERT(out == bytes.constData() + bytes.size());
    if (anyInvalid < 0)
        return std::nullopt;
    return bytes;
}

QString quotedExcerpt(const QString& text)
{
    constexpr qsizetype longest = 40;
    return text.size() <= longest ? text : text.left(longest) + QStringLiteral("…");
}

QString parseProblem(QJsonParseError::ParseError error)
{
    switch (error) {
    case QJsonParseError::NoError: return QStringLiteral("没有错误");
    case QJsonParseError::UnterminatedObject: return QStringLiteral("对象没有结束");
    case QJsonParseError::MissingNameSeparator: return QStringLiteral("缺少冒号");
    case QJsonParseError::UnterminatedArray: return QStringLiteral("数组没有结束");
    case QJsonParseError::MissingValueSeparator: return QStringLiteral("缺少逗号");
    case QJsonParseError::IllegalValue: return QStringLiteral("值无效");
    case QJsonParseError::TerminationByNumber: return QStringLiteral("在数字中意外结束");
    case QJsonParseError::IllegalNumber: return QStringLiteral("数字无效");
    case QJsonParseError::IllegalEscapeSequence: return QStringLiteral("转义序列无效");
    case QJsonParseError::IllegalUTF8String: return QStringLiteral("文字不是有效的 UTF-8");
    case QJsonParseError::UnterminatedString: return QStringLiteral("文字没有结束");
    case QJsonParseError::MissingObject: return QStringLiteral("缺少对象");
    case QJsonParseError::DeepNesting: return QStringLiteral("嵌套层次过深");
    case QJsonParseError::DocumentTooLarge: return QStringLiteral("内容过大");
    case QJsonParseError::GarbageAtEnd: return QStringLiteral("结尾有多余内容");
    }
    return QStringLiteral("格式错误");
}

} // namespace

Error::Error(const QString& reason, const QString& path)
    : std::runtime_error(
          (path.isEmpty() ? reason : QStringLiteral("%1（位置：%2）").arg(reason, path)).toStdString())
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
        throw Error(QStringLiteral("应为布尔值"));
    return value.toBool();
}

bool Coder<bool>::read(const ParsedValue& value)
{
    if (!value.isBool())
        throw Error(QStringLiteral("应为布尔值"));
    return value.toBool();
}

double Coder<double>::read(const QJsonValue& value)
{
    if (!value.isDouble())
        throw Error(QStringLiteral("应为数字"));
    return value.toDouble();
}

double Coder<double>::read(const ParsedValue& value)
{
    if (!value.isDouble())
        throw Error(QStringLiteral("应为数字"));
    return value.toDouble();
}

QJsonValue Coder<double>::write(double value)
{
    if (!std::isfinite(value))
        throw Error(QStringLiteral("无法写入非有限数值（%1）").arg(value));
    return value;
}

qint64 Coder<qint64>::read(const QJsonValue& value)
{
    if (!value.isDouble())
        throw Error(QStringLiteral("应为整数"));
    // toInteger gives its fallback for fractions and out-of-range values;
    // two different fallbacks tell that apart from a genuine 0 or 1.
    const qint64 first = value.toInteger(0);
    if (first != value.toInteger(1))
        throw Error(QStringLiteral("应为 64 位以内的整数"));
    return first;
}

qint64 Coder<qint64>::read(const ParsedValue& value)
{
    if (!value.isDouble())
        throw Error(QStringLiteral("应为整数"));
    // A number written with a fraction or an exponent may still be whole;
    // QJsonValue decides that (the quick reader declines it).
    if (const std::optional<qint64> whole = value.wholeNumber())
        return *whole;
    throw Error(QStringLiteral("应为不带小数点和指数的整数"));
}

QString Coder<QString>::read(const QJsonValue& value)
{
    if (!value.isString())
        throw Error(QStringLiteral("应为文字"));
    return value.toString();
}

QString Coder<QString>::read(const ParsedValue& value)
{
    if (!value.isString())
        throw Error(QStringLiteral("应为文字"));
    return value.toString();
}

namespace {

QUuid uuidFrom(const QString& text)
{
    const std::optional<QUuid> uuid = parseUuid(QStringView(text));
    if (!uuid)
        throw Error(QStringLiteral("“%1”不是有效的标识符").arg(quotedExcerpt(text)));
    return *uuid;
}

QByteArray base64From(const QString& text)
{
    if (text.size() % 4 != 0)
        throw Error(QStringLiteral("Base64 数据的长度不是 4 的倍数"));
    std::optional<QByteArray> decoded = decodeBase64(QStringView(text));
    if (!decoded)
        throw Error(QStringLiteral("Base64 数据无效"));
    return std::move(*decoded);
}

template <typename Value>
RichText richTextFrom(const Value& value)
{
    const ObjectReader reader(value);
    return RichText::fromRtf(reader.get<QByteArray>(QLatin1StringView("rtf")));
}

} // namespace

QUuid Coder<QUuid>::read(const QJsonValue& value)
{
    return uuidFrom(Coder<QString>::read(value));
}

QUuid Coder<QUuid>::read(const ParsedValue& value)
{
    // ASCII bytes are the characters themselves: no string needs making.
    if (const std::optional<QByteArrayView> ascii = value.plainAscii()) {
        if (const std::optional<QUuid> uuid = parseUuid(*ascii))
            return *uuid;
    }
    return uuidFrom(Coder<QString>::read(value));
}

QJsonValue Coder<QUuid>::write(const QUuid& value)
{
    return value.toString(QUuid::WithoutBraces).toUpper();
}

Date Coder<Date>::read(const QJsonValue& value)
{
    return Date{Coder<double>::read(value)};
}

Date Coder<Date>::read(const ParsedValue& value)
{
    return Date{Coder<double>::read(value)};
}

QJsonValue Coder<Date>::write(Date value)
{
    return Coder<double>::write(value.secondsSinceReferenceDate);
}

QByteArray Coder<QByteArray>::read(const QJsonValue& value)
{
    return base64From(Coder<QString>::read(value));
}

QByteArray Coder<QByteArray>::read(const ParsedValue& value)
{
    if (const std::optional<QByteArrayView> ascii = value.plainAscii(); ascii && ascii->size() % 4 == 0) {
        if (std::optional<QByteArray> decoded = decodeBase64(*ascii))
            return std::move(*decoded);
    }
    return base64From(Coder<QString>::read(value));
}

QJsonValue Coder<QByteArray>::write(const QByteArray& value)
{
    return QString::fromLatin1(value.toBase64());
}

RichText Coder<RichText>::read(const QJsonValue& value)
{
    return richTextFrom(value);
}

RichText Coder<RichText>::read(const ParsedValue& value)
{
    return richTextFrom(value);
}

QJsonValue Coder<RichText>::write(const RichText& value)
{
    return ObjectWriter().set(QLatin1StringView("rtf"), value.rtf()).object();
}

ObjectReader::ObjectReader(const QJsonValue& value)
{
    if (!value.isObject())
        throw Error(QStringLiteral("应为对象"));
    m_object = value.toObject();
}

ObjectReader::ObjectReader(const ParsedValue& value)
    : m_isParsed(true)
    , m_parsed(value)
{
    if (!value.isObject())
        throw Error(QStringLiteral("应为对象"));
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
        throw Error(QStringLiteral("不是有效的 JSON：%1（第 %2 字节处）").arg(parseProblem(error.error)).arg(error.offset));
    if (!document.isObject())
        throw Error(QStringLiteral("应为对象"));
    return document.object();
}

} // namespace quorrin::json
