#include "Domain/Json.h"

#include <gtest/gtest.h>

#include <limits>

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
