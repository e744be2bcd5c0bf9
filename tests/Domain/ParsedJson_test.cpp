#include "Domain/ParsedJson.h"

#include "Domain/BackupManifest.h"
#include "Domain/Json.h"
#include "ModelSamples.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <bit>
#include <optional>

using namespace quorrin;
using namespace Qt::StringLiterals;

namespace {

// Whether a parsed value holds exactly what QJsonDocument made of the same
// text, down to the bits of every number; explains the first difference.
::testing::AssertionResult sameAsQt(const json::ParsedValue& parsed, const QJsonValue& qt, const QString& path = {})
{
    const auto differ = [&](const char* what) {
        return ::testing::AssertionFailure() << what << " at \"" << path.toStdString() << "\"";
    };
    if (parsed.isObject() != qt.isObject() || parsed.isArray() != qt.isArray() || parsed.isString() != qt.isString()
        || parsed.isDouble() != qt.isDouble() || parsed.isBool() != qt.isBool() || parsed.isNull() != qt.isNull())
        return differ("type");
    if (parsed.isBool() && parsed.toBool() != qt.toBool())
        return differ("Boolean");
    if (parsed.isDouble()) {
        if (std::bit_cast<quint64>(parsed.toDouble()) != std::bit_cast<quint64>(qt.toDouble()))
            return differ("number");
        if (const std::optional<qint64> whole = parsed.wholeNumber();
            whole && (qt.toInteger(0) != *whole || qt.toInteger(1) != *whole))
            return differ("whole number");
    }
    if (parsed.isString() && parsed.toString() != qt.toString())
        return differ("string");
    if (parsed.isArray()) {
        const QJsonArray array = qt.toArray();
        if (parsed.size() != array.size())
            return differ("element count");
        qsizetype index = 0;
        for (const json::ParsedValue element : parsed) {
            if (auto same = sameAsQt(element, array.at(index), path + u"[%1]"_s.arg(index)); !same)
                return same;
            ++index;
        }
    }
    if (parsed.isObject()) {
        const QJsonObject object = qt.toObject();
        if (parsed.size() != object.size())
            return differ("member count");
        for (auto member = object.begin(); member != object.end(); ++member) {
            const QByteArray key = member.key().toLatin1();
            if (auto same = sameAsQt(parsed.value(QLatin1StringView(key)), member.value(), path + u"."_s + member.key());
                !same)
                return same;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(ParsedJson, acceptsWhatQtReadsTheSameWayAndDeclinesTheRest)
{
    struct Case {
        QByteArray text;
        bool accepted;
    };
    const Case cases[] = {
        {R"({})", true},
        {R"({"a":[],"b":{},"c":null,"d":true,"e":false})", true},
        {R"({"n":[0,-0,1,-1,9223372036854775807,-9223372036854775808]})", true},
        {R"({"n":[0.5,-0.25,1e2,1E-2,800000030.125,1.7976931348623157e308,2.2250738585072014e-308]})", true},
        {R"({"n":[0.0,0e5]})", true},
        {R"({"s":"plain","t":"\"\\\/\b\f\n\r\t","u":"\u00e9\u4e2d\uFFFD"})", true},
        {"{\"s\":\"\xe4\xb8\xad\xe6\x96\x87 \xf0\x9f\x98\x80 \xc3\xa9\"}", true},
        {R"({"nested":[[[{"a":[1,{"b":"c"}]}]]]})", true},
        // Declined: Qt may read these, but not necessarily as written.
        {R"({"n":9223372036854775808})", false},
        {R"({"n":1e400})", false},
        {R"({"n":1e-320})", false},
        {R"({"n":1e-999})", false},
        {R"({"n":-0.0})", false},
        {R"({"n":0.000000000000000000000000000000000001})", false},
        {R"({"a":1,"a":2})", false},
        {R"({"a\u0062":1})", false},
        {R"({"s":"\ud83d\ude00"})", false},
        {R"({"s":"\u0000"})", false},
        {R"({"s":"\uffff"})", false},
        {"{\"s\":\"tab\there\"}", false},
        {"{\"s\":\"\xef\xbf\xbf\"}", false}, // U+FFFF
        {"{\"s\":\"\xed\xa0\x80\"}", false}, // a surrogate
        {"{\"s\":\"\xc0\xaf\"}", false},     // overlong
        {"{\"s\":\"\xe4\xb8\"}", false},     // cut short
        {"{ \"a\":1}", false},
        {"{\"a\":1} ", false},
        {"\xef\xbb\xbf{}", false},
        {R"([1])", false},
        // Declined because Qt refuses them as well.
        {R"({"a":01})", false},
        {R"({"a":1.})", false},
        {R"({"a":.5})", false},
        {R"({"a":+1})", false},
        {R"({"a":tru})", false},
        {R"({"a":"x})", false},
        {R"({"a":1,})", false},
        {R"({"a" 1})", false},
        {R"({"s":"\x"})", false},
        {R"({"s":"\u12"})", false},
        {R"({"a":1}{})", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const std::optional<json::ParsedDocument> parsed = json::ParsedDocument::parse(c.text);
        EXPECT_EQ(parsed.has_value(), c.accepted);
        if (!parsed)
            continue;
        QJsonParseError error;
        const QJsonDocument qt = QJsonDocument::fromJson(c.text, &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError);
        EXPECT_TRUE(sameAsQt(parsed->root(), qt.object()));
    }

    QByteArray deep;
    for (int level = 0; level < 70; ++level)
        deep += "{\"a\":";
    deep += "1" + QByteArray(70, '}');
    EXPECT_FALSE(json::ParsedDocument::parse(deep));
}

QByteArray manifestText()
{
    return json::encode(BackupManifest{BackupManifest::currentSchemaVersion, Date{700000000.5},
                                       {samples::fullNote(), samples::note(3, {samples::block(30)})},
                                       samples::fullPreferences()});
}

// What decode() makes of the text, or nothing when it fails.
std::optional<BackupManifest> ordinaryDecode(const QByteArray& text)
{
    try {
        return json::decode<BackupManifest>(text);
    } catch (const json::Error&) {
        return std::nullopt;
    }
}

TEST(ParsedJson, quickDecodingGivesWhatTheOrdinaryDecodeGives)
{
    const QByteArray text = manifestText();
    const std::optional<BackupManifest> quick = json::decodeQuickly<BackupManifest>(text);
    ASSERT_TRUE(quick); // the store's own writing always takes the quick way
    ASSERT_EQ(*quick, json::decode<BackupManifest>(text));
    EXPECT_EQ(json::encode(*quick), text);

    // Damaged copies: whatever the quick reading accepts, the ordinary one
    // reads the same; what it declines is left to the ordinary one.
    const char replacements[] = {' ', '"', '0', '9', '.', 'x', '\\', ',', '}', '\x80'};
    int accepted = 0;
    for (qsizetype position = 0; position < text.size(); ++position) {
        for (const char replacement : replacements) {
            QByteArray damaged = text;
            damaged[position] = replacement;
            const std::optional<BackupManifest> quickly = json::decodeQuickly<BackupManifest>(damaged);
            if (!quickly)
                continue;
            ++accepted;
            const std::optional<BackupManifest> ordinary = ordinaryDecode(damaged);
            ASSERT_TRUE(ordinary) << damaged.toStdString();
            ASSERT_EQ(*quickly, *ordinary) << damaged.toStdString();
            ASSERT_EQ(json::encode(*quickly), json::encode(*ordinary)) << damaged.toStdString();
        }
        QByteArray shortened = text;
        shortened.remove(position, 1);
        if (const std::optional<BackupManifest> quickly = json::decodeQuickly<BackupManifest>(shortened)) {
            const std::optional<BackupManifest> ordinary = ordinaryDecode(shortened);
            ASSERT_TRUE(ordinary) << shortened.toStdString();
            ASSERT_EQ(json::encode(*quickly), json::encode(*ordinary)) << shortened.toStdString();
        }
    }
    EXPECT_GT(accepted, 0); // some damage (a changed digit, say) still reads
}

TEST(ParsedJson, valuesTheQuickReadingLeavesToQtAreDeclinedNotMisread)
{
    // 3.0 is a whole number to QJsonValue; the quick reading does not decide that.
    QByteArray text = manifestText();
    text.replace("\"schemaVersion\":6", "\"schemaVersion\":6.0");
    EXPECT_FALSE(json::decodeQuickly<BackupManifest>(text));
    EXPECT_EQ(json::decode<BackupManifest>(text).schemaVersion, 6);

    // Escaped characters in an id or in Base64 still read as the characters.
    const QByteArray escapedId = R"({"edge":")" + dockEdge::rawValue(DockEdge::Below).toUtf8()
        + R"(","targetID":"\u00300000000-0000-0000-0000-000000000000"})";
    const std::optional<NoteDock> dock = json::decodeQuickly<NoteDock>(escapedId);
    ASSERT_TRUE(dock);
    EXPECT_EQ(*dock, json::decode<NoteDock>(escapedId));
    EXPECT_TRUE(dock->targetID.isNull());
}

} // namespace
