#include "Domain/BlockJsonWriter.h"

#include <QLocale>

#include <cmath>
#include <cstring>

namespace quorrin {

namespace {

// What QJsonDocument writes for QJsonValue(seconds), which must be finite:
// QJsonValue keeps a whole number within ±2^53 as an integer, written in
// plain digits (so -0 is "0"); any other number is a double, written as
// QByteArray::number(seconds, 'g', QLocale::FloatingPointShortest) writes it
// ("7.86e+08" is how the double 786000000 would come out, had it not been
// kept as an integer).
QByteArray numberText(double seconds)
{
    constexpr double largestExactWhole = 9007199254740992.0; // 2^53
    if (seconds >= -largestExactWhole && seconds <= largestExactWhole && seconds == std::trunc(seconds))
        return QByteArray::number(qint64(seconds));
    return QByteArray::number(seconds, 'g', QLocale::FloatingPointShortest);
}

// The raw values of the kinds, by kind, as bytes. They are ASCII letters and
// digits: nothing in them is escaped in JSON.
const QByteArray& kindText(BlockKind kind)
{
    static const std::array<QByteArray, blockKind::allCases.size()> texts = [] {
        std::array<QByteArray, blockKind::allCases.size()> result;
        for (const BlockKind each : blockKind::allCases)
            result[size_t(each)] = blockKind::rawValue(each).toLatin1();
        return result;
    }();
    return texts[size_t(kind)];
}

constexpr qsizetype uuidLength = 36;

// The id as Coder<QUuid> writes it: upper-case hexadecimal, hyphenated,
// without braces. Hex digits and hyphens are never escaped.
char* writeUuid(char* out, const QUuid& id)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    const auto hex = [&](quint32 value, int count) {
        for (int shift = (count - 1) * 4; shift >= 0; shift -= 4)
            *out++ = digits[(value >> shift) & 0xf];
    };
    hex(id.data1, 8);
    *out++ = '-';
    hex(id.data2, 4);
    *out++ = '-';
    hex(id.data3, 4);
    *out++ = '-';
    hex(quint32(id.data4[0]) << 8 | id.data4[1], 4);
    *out++ = '-';
    for (size_t index = 2; index < 8; ++index)
        hex(id.data4[index], 2);
    return out;
}

constexpr qsizetype base64Length(qsizetype bytes)
{
    return (bytes + 2) / 3 * 4;
}

// Standard Base64 with padding, as QByteArray::toBase64 writes it. Its
// letters, "+", "/" and "=" are never escaped in JSON.
char* writeBase64(char* out, const QByteArray& bytes)
{
    static constexpr char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto* in = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype index = 0;
    for (; index + 3 <= size; index += 3) {
        const quint32 group = quint32(in[index]) << 16 | quint32(in[index + 1]) << 8 | in[index + 2];
        *out++ = letters[group >> 18];
        *out++ = letters[(group >> 12) & 0x3f];
        *out++ = letters[(group >> 6) & 0x3f];
        *out++ = letters[group & 0x3f];
    }
    if (const qsizetype rest = size - index; rest > 0) {
        const quint32 group = quint32(in[index]) << 16 | (rest == 2 ? quint32(in[index + 1]) << 8 : 0);
        *out++ = letters[group >> 18];
        *out++ = letters[(group >> 12) & 0x3f];
        *out++ = rest == 2 ? letters[(group >> 6) & 0x3f] : '=';
        *out++ = '=';
    }
    return out;
}

template <qsizetype N>
char* write(char* out, const char (&text)[N])
{
    std::memcpy(out, text, N - 1);
    return out + N - 1;
}

char* write(char* out, const QByteArray& text)
{
    std::memcpy(out, text.constData(), size_t(text.size()));
    return out + text.size();
}

bool isPlain(const Block& block)
{
    return !block.todo && !block.attachment && std::isfinite(block.createdAt.secondsSinceReferenceDate)
        && std::isfinite(block.updatedAt.secondsSinceReferenceDate);
}

// The keys and punctuation of a plain block, in the order QJsonObject keeps
// its keys (sorted), without the values.
constexpr qsizetype plainFrame = qsizetype(sizeof("{\"createdAt\":,\"id\":\"\",\"kind\":\"\",\"text\":{\"rtf\":\"\"},"
                                                  "\"updatedAt\":}")
                                           - 1);
constexpr qsizetype longestKind = 9;    // "paragraph"
constexpr qsizetype longestNumber = 24; // "-1.7976931348623157e+308"

} // namespace

qsizetype BlockJsonWriter::sizeHint(const Block& block)
{
    return plainFrame + uuidLength + longestKind + base64Length(block.text.rtf().size()) + 2 * longestNumber;
}

QByteArray BlockJsonWriter::dateText(Date date)
{
    const double seconds = date.secondsSinceReferenceDate;
    for (const WrittenDate& written : m_dates) {
        if (!written.text.isEmpty() && written.seconds == seconds)
            return written.text;
    }
    WrittenDate& slot = m_dates[m_nextDate];
    m_nextDate = (m_nextDate + 1) % m_dates.size();
    slot = {seconds, numberText(seconds)};
    return slot.text;
}

void BlockJsonWriter::append(const Block& block, QByteArray& payload)
{
    if (!isPlain(block)) {
        payload.append(json::serialize(block.toJson().toObject()));
        return;
    }
    const QByteArray createdAt = dateText(block.createdAt);
    const QByteArray updatedAt = dateText(block.updatedAt);
    const QByteArray& kind = kindText(block.kind);
    const QByteArray& rtf = block.text.rtf();
    const qsizetype start = payload.size();
    payload.resize(start + plainFrame + createdAt.size() + uuidLength + kind.size() + base64Length(rtf.size())
                   + updatedAt.size());
    char* out = payload.data() + start;
    out = write(out, "{\"createdAt\":");
    out = write(out, createdAt);
    out = write(out, ",\"id\":\"");
    out = writeUuid(out, block.id);
    out = write(out, "\",\"kind\":\"");
    out = write(out, kind);
    out = write(out, "\",\"text\":{\"rtf\":\"");
    out = writeBase64(out, rtf);
    out = write(out, "\"},\"updatedAt\":");
    out = write(out, updatedAt);
    out = write(out, "}");
    Q_ASSERT(out == payload.constData() + payload.size());
}

} // namespace quorrin
