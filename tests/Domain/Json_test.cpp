#include "Domain/Json.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

using namespace quorrin;
using namespace Qt::StringLiterals;

namespace {

template <typename T>
bool reads(const QJsonValue& value)
{
    try {
        json::Coder<T>::read(value);
        return true;
    } catch (const json::Error&) {
        return false;
    }
}

TEST(Json, uuidsAreWrittenUpperCaseWithoutBraces)
{
    const QUuid id(u"{6e251a6c-9385-4197-bc7e-882c1d41a1b0}"_s);
    EXPECT_EQ(json::Coder<QUuid>::write(id).toString(), u"6E251A6C-9385-4197-BC7E-882C1D41A1B0"_s);

    const std::vector<std::pair<QString, bool>> cases = {
        {u"6E251A6C-9385-4197-BC7E-882C1D41A1B0"_s, true},
        {u"6e251a6c-9385-4197-bc7e-882c1d41a1b0"_s, true},
        {u"00000000-0000-0000-0000-000000000000"_s, true},
        {u"{6E251A6C-9385-4197-BC7E-882C1D41A1B0}"_s, false},
        {u"6E251A6C93854197BC7E882C1D41A1B0"_s, false},
        {u"6E251A6C-9385-4197-BC7E-882C1D41A1BZ"_s, false},
        {u""_s, false},
    };
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(reads<QUuid>(text), valid) << text.toStdString();
    EXPECT_EQ(json::Coder<QUuid>::read(u"6e251a6c-9385-4197-bc7e-882c1d41a1b0"_s), id);
}

TEST(Json, base64IsReadStrictly)
{
    const std::vector<std::pair<QString, bool>> cases = {
        {u""_s, true},        {u"QQ=="_s, true},       {u"QUJD"_s, true},   {u"QQ"_s, false},
        {u"Q Q=="_s, false},  {u"QQ=!"_s, false},      {u"QQ==\n"_s, false}, {u"Q\u00e9=="_s, false},
        {u"QUJD*"_s, false},  {u"QQ==QQ=="_s, false},
    };
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(reads<QByteArray>(text), valid) << text.toStdString();
    const QByteArray bytes("\x00\xff\x10rtf", 6);
    EXPECT_EQ(json::Coder<QByteArray>::read(json::Coder<QByteArray>::write(bytes)), bytes);
}

// Our own readers stand in for Qt's for speed; they must give exactly the
// answers Qt's would, for every input.
TEST(Json, base64ReadingAgreesWithQtsStrictDecoder)
{
    const auto qtReading = [](const QString& text) -> std::optional<QByteArray> {
        const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (text.size() % 4 != 0 || !ascii)
            return std::nullopt;
        QByteArray::FromBase64Result result =
            QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        return result ? std::optional(result.decoded) : std::nullopt;
    };
    const auto ourReading = [](const QString& text) -> std::optional<QByteArray> {
        try {
            return json::Coder<QByteArray>::read(text);
        } catch (const json::Error&) {
            return std::nullopt;
        }
    };
    // Every text of up to four characters drawn from letters at both ends of
    // the alphabet, padding, characters outside it and a non-ASCII one; and
    // each of those of four after and before a whole group.
    const QString characters = u"Az/=-\u0000\u00e9"_s;
    std::vector<QString> texts = {u""_s};
    qsizetype begin = 0;
    for (int length = 1; length <= 4; ++length) {
        const qsizetype end = qsizetype(texts.size());
        for (qsizetype index = begin; index < end; ++index) {
            for (QChar c : characters)
                texts.push_back(texts[size_t(index)] + c);
        }
        begin = end;
    }
    for (size_t index = size_t(begin), end = texts.size(); index < end; ++index) {
        texts.push_back(u"QUJD"_s + texts[index]);
        texts.push_back(texts[index] + u"QUJD"_s);
    }
    for (const QString& text : texts)
        ASSERT_EQ(ourReading(text), qtReading(text)) << text.toStdString();
    // Every byte value as the last byte, under each amount of padding.
    for (int length = 0; length < 8; ++length) {
        for (int value = 0; value < 256; ++value) {
            const QByteArray bytes = QByteArray(length, 'q') + char(value);
            EXPECT_EQ(ourReading(QString::fromLatin1(bytes.toBase64())), bytes);
        }
    }
    EXPECT_EQ(ourReading(u"QR=="_s), QByteArray("A")) << "leftover bits are ignored, as by Qt";
}

TEST(Json, uuidReadingAgreesWithQUuid)
{
    const auto qtReading = [](const QString& text) -> std::optional<QUuid> {
        const QUuid uuid = text.size() == 36 ? QUuid::fromString(text) : QUuid();
        if (uuid.isNull() && text != u"00000000-0000-0000-0000-000000000000"_s)
            return std::nullopt;
        return uuid;
    };
    const auto ourReading = [](const QString& text) -> std::optional<QUuid> {
        try {
            return json::Coder<QUuid>::read(text);
        } catch (const json::Error&) {
            return std::nullopt;
        }
    };
    std::vector<QString> texts;
    for (const QString& valid : {u"6E251A6C-9385-4197-BC7E-882C1D41A1B0"_s, u"0123abcd-ef45-6789-ABCD-EF0123456789"_s,
                                 u"00000000-0000-0000-0000-000000000000"_s}) {
        texts.push_back(valid);
        texts.push_back(u"{"_s + valid.chopped(1));
        texts.push_back(valid.chopped(1) + u"}"_s);
        for (qsizetype position = 0; position < valid.size(); ++position) {
            for (QChar c : u"09afAFgG-{ \u00e9\uff10"_s) {
                QString changed = valid;
                changed[position] = c;
                texts.push_back(changed);
            }
        }
    }
    for (const QString& text : texts)
        EXPECT_EQ(ourReading(text), qtReading(text)) << text.toStdString();
}

TEST(Json, wholeNumbersCoverAll64BitsAndNothingElse)
{
    for (qint64 value : {std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min(), qint64(0), qint64(1)}) {
        const QJsonObject object = json::ObjectWriter().set("n"_L1, value).object();
        const QJsonObject reparsed = json::parseObject(json::serialize(object));
        EXPECT_EQ(json::ObjectReader(reparsed).get<qint64>("n"_L1), value);
    }
    EXPECT_EQ(json::Coder<qint64>::read(json::parseObject("{\"n\":3.0}").value("n"_L1)), 3);
    for (const char* text : {"{\"n\":1.5}", "{\"n\":1e30}", "{\"n\":-1e30}", "{\"n\":\"1\"}", "{\"n\":true}"})
        EXPECT_FALSE(reads<qint64>(json::parseObject(text).value("n"_L1))) << text;
}

TEST(Json, numbersAndBooleansAreNotInterchangeable)
{
    EXPECT_FALSE(reads<bool>(1));
    EXPECT_FALSE(reads<bool>(u"true"_s));
    EXPECT_FALSE(reads<double>(true));
    EXPECT_FALSE(reads<double>(u"1"_s));
    EXPECT_FALSE(reads<QString>(1));
    EXPECT_TRUE(reads<double>(1));
}

TEST(Json, writesSortedCompactText)
{
    const QJsonObject object =
        json::ObjectWriter().set("zeta"_L1, 1.5).set("alpha"_L1, u"x y"_s).set("mid"_L1, true).object();
    EXPECT_EQ(json::serialize(object), QByteArray(R"({"alpha":"x y","mid":true,"zeta":1.5})"));
}

TEST(Json, refusesMalformedDocuments)
{
    for (const char* text : {"", "{", "[]", "42", "{\"a\":1,}", "{\"a\":NaN}"})
        EXPECT_THROW(json::parseObject(text), json::Error) << text;
    EXPECT_TRUE(json::parseObject("{\"a\":1}").contains("a"_L1));
}

} // namespace
