#include "ModelSamples.h"

#include "Domain/Json.h"

#include <gtest/gtest.h>

#include <QJsonArray>

#include <functional>

using namespace quorrin;
using namespace Qt::StringLiterals;

namespace {

// One model type as the failure table sees it: a valid object, and reading
// followed by writing.
struct TypeCase {
    const char* name;
    QJsonObject valid;
    std::function<QJsonObject(const QJsonValue&)> reread;
    QStringList required;
    QStringList optional;
    QStringList enumerations;
};

template <typename T>
TypeCase typeCase(const char* name, const T& sample, QStringList required, QStringList optional = {},
                  QStringList enumerations = {})
{
    return TypeCase{name,
                    json::Coder<T>::write(sample).toObject(),
                    [](const QJsonValue& value) { return json::Coder<T>::write(json::Coder<T>::read(value)).toObject(); },
                    std::move(required),
                    std::move(optional),
                    std::move(enumerations)};
}

QJsonValue ofAnotherType(const QJsonValue& value)
{
    if (value.isString())
        return 12;
    if (value.isObject())
        return QJsonArray();
    if (value.isArray())
        return QJsonObject();
    return u"12"_s; // numbers and Booleans
}

std::vector<TypeCase> typeCases()
{
    const Note note = samples::fullNote();
    const Block& todoBlock = note.blocks[1];
    const TodoReminder& reminder = *todoBlock.todo->reminder;
    return {
        typeCase("Note", note,
                 {"id", "createdAt", "updatedAt", "color", "opacity", "alwaysOnTop", "isCollapsed", "isHidden", "frame",
                  "blocks", "prioritySorted"},
                 {"deletedAt", "deletionIsExplicit", "customTitle", "customTitleRich", "docking", "fileLinks"}, {"color"}),
        typeCase("Block", note.blocks[2], {"id", "kind", "text", "createdAt", "updatedAt"}, {"attachment"}, {"kind"}),
        typeCase("Block with todo", todoBlock, {"id", "kind", "text", "createdAt", "updatedAt"}, {"todo"}, {"kind"}),
        typeCase("RichText", samples::text(u"abc"_s), {"rtf"}),
        typeCase("TodoMetadata", *todoBlock.todo, {"priority", "isCompleted", "notes", "notesExpanded"},
                 {"completedAt", "archivedAt", "reminder"}),
        typeCase("TodoReminder", reminder, {"date"}, {"repetition", "localTime"}),
        typeCase("RepeatRule", *reminder.repetition, {"frequency", "hour", "minute", "weekdays", "monthDay"}, {},
                 {"frequency"}),
        typeCase("LocalReminderTime", *reminder.localTime, {"year", "month", "day", "hour", "minute"}),
        typeCase("Attachment", samples::attachment(5),
                 {"id", "relativePath", "originalFilename", "contentType", "checksum", "createdAt"}),
        typeCase("PersistentFileLink", (*note.fileLinks)[1], {"id", "noteID", "displayName", "bookmark"}, {"blockID"}),
        typeCase("WindowFrame", note.frame, {"x", "y", "width", "height"}),
        typeCase("NoteDock", *note.docking, {"targetID", "edge"}, {}, {"edge"}),
        typeCase("Preferences", samples::fullPreferences(),
                 {"color", "fontName", "fontSize", "opacity", "alwaysOnTop", "width", "height", "defaultText",
                  "confirmDeletion", "animations"},
                 {"closeRetentionUpgraded", "persistFileLinks", "privateReminderContent"}, {"color"}),
        typeCase("BackupManifest", BackupManifest{6, Date{1}, {note}, samples::fullPreferences()},
                 {"schemaVersion", "createdAt", "notes", "preferences"}),
    };
}

TEST(ModelJson, everyTypeReadsStrictly)
{
    for (const TypeCase& type : typeCases()) {
        SCOPED_TRACE(type.name);
        EXPECT_EQ(type.reread(type.valid), type.valid);
        ASSERT_EQ(type.valid.size(), type.required.size() + type.optional.size()) << "sample must hold every key";

        for (const QString& key : type.required) {
            SCOPED_TRACE(key.toStdString());
            QJsonObject missing = type.valid;
            missing.remove(key);
            EXPECT_THROW(type.reread(missing), json::Error);
            QJsonObject null = type.valid;
            null.insert(key, QJsonValue::Null);
            EXPECT_THROW(type.reread(null), json::Error);
            QJsonObject wrong = type.valid;
            wrong.insert(key, ofAnotherType(type.valid.value(key)));
            EXPECT_THROW(type.reread(wrong), json::Error);
        }
        for (const QString& key : type.optional) {
            SCOPED_TRACE(key.toStdString());
            QJsonObject null = type.valid;
            null.insert(key, QJsonValue::Null);
            QJsonObject missing = type.valid;
            missing.remove(key);
            EXPECT_EQ(type.reread(null), missing);
            EXPECT_EQ(type.reread(missing), missing);
            QJsonObject wrong = type.valid;
            wrong.insert(key, ofAnotherType(type.valid.value(key)));
            EXPECT_THROW(type.reread(wrong), json::Error);
        }
        for (const QString& key : type.enumerations) {
            SCOPED_TRACE(key.toStdString());
            QJsonObject unknown = type.valid;
            unknown.insert(key, u"unknown"_s);
            EXPECT_THROW(type.reread(unknown), json::Error);
            QJsonObject capitalised = type.valid;
            QString raw = type.valid.value(key).toString();
            raw[0] = raw[0].toUpper();
            capitalised.insert(key, raw);
            EXPECT_THROW(type.reread(capitalised), json::Error);
        }
        QJsonObject extra = type.valid;
        extra.insert(u"zzzUnknownKey"_s, u"ignored"_s);
        EXPECT_EQ(type.reread(extra), type.valid);
        EXPECT_THROW(type.reread(QJsonArray()), json::Error);
    }
}

TEST(ModelJson, everyRawValueReadsBackAsItsCase)
{
    for (BlockKind kind : blockKind::allCases)
        EXPECT_EQ(json::Coder<BlockKind>::read(blockKind::rawValue(kind)), kind);
    for (DockEdge edge : dockEdge::allCases)
        EXPECT_EQ(json::Coder<DockEdge>::read(dockEdge::rawValue(edge)), edge);
    for (RepeatRule::Frequency frequency : repeatFrequency::allCases)
        EXPECT_EQ(json::Coder<RepeatRule::Frequency>::read(repeatFrequency::rawValue(frequency)), frequency);
    EXPECT_EQ(blockKind::rawValue(BlockKind::H2), u"h2"_s);
    EXPECT_EQ(dockEdge::rawValue(DockEdge::Above), u"above"_s);
    EXPECT_FALSE(blockKind::fromRawValue(u"PDF"_s));
}

TEST(ModelJson, encodingTwiceGivesIdenticalBytes)
{
    const Note full = samples::fullNote();
    const std::vector<std::pair<const char*, BackupManifest>> manifests = {
        {"empty", BackupManifest{}},
        {"default note", BackupManifest{6, Date{0}, {Note()}, Preferences()}},
        {"full", BackupManifest{3, Date{-12.125}, {full, samples::note(2, {samples::todo(30, 1)})},
                                samples::fullPreferences()}},
    };
    for (const auto& [name, manifest] : manifests) {
        SCOPED_TRACE(name);
        const QByteArray first = json::encode(manifest);
        const BackupManifest decoded = json::decode<BackupManifest>(first);
        EXPECT_EQ(decoded, manifest);
        EXPECT_EQ(json::encode(decoded), first);
        EXPECT_FALSE(first.contains("null"));
        EXPECT_FALSE(first.contains('\n'));
    }
}

TEST(ModelJson, absentOptionalsWriteNoKey)
{
    const QJsonObject note = samples::note(1, {samples::block(2)}).toJson().toObject();
    for (const char* key : {"deletedAt", "deletionIsExplicit", "customTitle", "customTitleRich", "docking", "fileLinks"})
        EXPECT_FALSE(note.contains(QLatin1StringView(key))) << key;
    const QJsonObject block = note.value("blocks"_L1).toArray().at(0).toObject();
    EXPECT_FALSE(block.contains("todo"_L1));
    EXPECT_FALSE(block.contains("attachment"_L1));
    const QJsonObject link = samples::fileLink(1, samples::uuid(2)).toJson().toObject();
    EXPECT_FALSE(link.contains("blockID"_L1));
}

TEST(ModelJson, oneBadBlockFailsTheWholeNoteAndSaysWhere)
{
    QJsonObject note = samples::fullNote().toJson().toObject();
    QJsonArray blocks = note.value("blocks"_L1).toArray();
    QJsonObject image = blocks.at(2).toObject();
    QJsonObject attachment = image.value("attachment"_L1).toObject();
    attachment.remove("checksum"_L1);
    image.insert("attachment"_L1, attachment);
    blocks.replace(2, image);
    note.insert("blocks"_L1, blocks);
    try {
        Note::fromJson(note);
        FAIL() << "expected a failure";
    } catch (const json::Error& error) {
        EXPECT_EQ(error.path(), u"blocks[2].attachment"_s);
        EXPECT_EQ(error.message(), u"缺少字段“checksum”（位置：blocks[2].attachment）"_s);
    }
}

TEST(ModelJson, preferencesWithoutLaterSwitchesReadThemAsOff)
{
    QJsonObject object = Preferences().toJson().toObject();
    EXPECT_FALSE(object.contains("persistFileLinks"_L1));
    const Preferences read = Preferences::fromJson(object);
    EXPECT_FALSE(read.persistFileLinks.has_value());
    EXPECT_FALSE(read.keepsFileLinks());
    EXPECT_FALSE(read.isCloseRetentionUpgraded());
    EXPECT_FALSE(read.hidesReminderContent());
    object.remove("animations"_L1);
    EXPECT_THROW(Preferences::fromJson(object), json::Error);
}

TEST(ModelJson, nonFiniteNumbersFailToWrite)
{
    Note note = samples::note(1);
    note.opacity = std::nan("");
    EXPECT_THROW(json::encode(note), json::Error);
    note.opacity = 1;
    note.frame.width = HUGE_VAL;
    EXPECT_THROW(json::encode(note), json::Error);
    note.frame.width = 300;
    note.deletedAt = Date{-HUGE_VAL};
    try {
        json::encode(note);
        FAIL() << "expected a failure";
    } catch (const json::Error& error) {
        EXPECT_EQ(error.path(), u"deletedAt"_s);
    }
}

// Equality -----------------------------------------------------------------

TEST(ModelEquality, comparesFieldByField)
{
    const Note base = samples::fullNote();
    const QString composed = u"Caf\u00e9"_s;
    const QString decomposed = u"Cafe\u0301"_s;

    struct Case {
        const char* name;
        std::function<void(Note&)> change;
        bool equal;
    };
    const std::vector<Case> cases = {
        {"unchanged", [](Note&) {}, true},
        {"canonically equivalent title", [&](Note& n) { n.customTitle = decomposed; }, false},
        {"NaN opacity", [](Note& n) { n.opacity = std::nan(""); }, false},
        {"frame", [](Note& n) { n.frame.height += 1; }, false},
        {"block order", [](Note& n) { std::swap(n.blocks[0], n.blocks[1]); }, false},
        {"weekday order", [](Note& n) { n.blocks[1].todo->reminder->repetition->weekdays = {6, 2}; }, false},
        {"bookmark bytes", [](Note& n) { (*n.fileLinks)[0].bookmark.append('x'); }, false},
        {"link block absent", [](Note& n) { (*n.fileLinks)[1].blockID.reset(); }, false},
        {"rich title bytes", [](Note& n) { n.customTitleRich = RichText::fromRtf("{\\rtf1 x}"); }, false},
        {"empty links vs none", [](Note& n) { n.fileLinks = std::vector<PersistentFileLink>(); }, false},
        {"deletion flag false vs absent", [](Note& n) { n.deletionIsExplicit = false; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Note changed = base;
        c.change(changed);
        EXPECT_EQ(changed == base, c.equal);
    }

    Note nfc = base;
    nfc.customTitle = composed;
    Note nfd = base;
    nfd.customTitle = decomposed;
    EXPECT_EQ(nfc, nfd);
    Note nan = base;
    nan.opacity = std::nan("");
    EXPECT_FALSE(nan == nan);
}

TEST(ModelEquality, otherTypesCompareTextCanonicallyAndNumbersNumerically)
{
    Attachment a = samples::attachment(1);
    Attachment b = a;
    a.originalFilename = u"Re\u0301sume\u0301.pdf"_s;
    b.originalFilename = u"R\u00e9sum\u00e9.pdf"_s;
    EXPECT_EQ(a, b);

    PersistentFileLink link = samples::fileLink(1, samples::uuid(2));
    PersistentFileLink other = link;
    other.displayName = link.displayName.normalized(QString::NormalizationForm_D);
    EXPECT_EQ(link, other);

    Preferences p;
    Preferences q;
    q.persistFileLinks = false;
    EXPECT_NE(p, q);
    p.fontSize = std::nan("");
    EXPECT_FALSE(p == p);

    const WindowFrame frame{1, 2, 300, 400};
    EXPECT_EQ(frame, (WindowFrame{1, 2, 300, 400}));
    WindowFrame nanFrame = frame;
    nanFrame.x = std::nan("");
    EXPECT_FALSE(nanFrame == nanFrame);

    EXPECT_NE(RichText::fromRtf("{\\rtf1 a}"), RichText::fromRtf("{\\rtf1  a}"));
}

} // namespace
