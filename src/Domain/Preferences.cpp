#include "Domain/Preferences.h"

#include "Domain/Json.h"
#include "Domain/TextEquality.h"

namespace quorrin {

using namespace Qt::StringLiterals;

bool operator==(const Preferences& a, const Preferences& b)
{
    return a.color == b.color && canonicallyEqual(a.fontName, b.fontName) && a.fontSize == b.fontSize
        && a.opacity == b.opacity && a.alwaysOnTop == b.alwaysOnTop && a.width == b.width && a.height == b.height
        && a.defaultText == b.defaultText && a.confirmDeletion == b.confirmDeletion && a.animations == b.animations
        && a.closeRetentionUpgraded == b.closeRetentionUpgraded && a.persistFileLinks == b.persistFileLinks
        && a.privateReminderContent == b.privateReminderContent;
}

namespace {

Preferences readPreferences(const json::ObjectReader& reader)
{
    return Preferences{
        .color = reader.get<NoteColor>("color"_L1),
        .fontName = reader.get<QString>("fontName"_L1),
        .fontSize = reader.get<double>("fontSize"_L1),
        .opacity = reader.get<double>("opacity"_L1),
        .alwaysOnTop = reader.get<bool>("alwaysOnTop"_L1),
        .width = reader.get<double>("width"_L1),
        .height = reader.get<double>("height"_L1),
        .defaultText = reader.get<RichText>("defaultText"_L1),
        .confirmDeletion = reader.get<bool>("confirmDeletion"_L1),
        .animations = reader.get<bool>("animations"_L1),
        .closeRetentionUpgraded = reader.optional<bool>("closeRetentionUpgraded"_L1),
        .persistFileLinks = reader.optional<bool>("persistFileLinks"_L1),
        .privateReminderContent = reader.optional<bool>("privateReminderContent"_L1),
    };
}

} // namespace

Preferences Preferences::fromJson(const QJsonValue& value)
{
    return readPreferences(json::ObjectReader(value));
}

Preferences Preferences::fromJson(const json::ParsedValue& value)
{
    return readPreferences(json::ObjectReader(value));
}

QJsonValue Preferences::toJson() const
{
    return json::ObjectWriter()
        .set("color"_L1, color)
        .set("fontName"_L1, fontName)
        .set("fontSize"_L1, fontSize)
        .set("opacity"_L1, opacity)
        .set("alwaysOnTop"_L1, alwaysOnTop)
        .set("width"_L1, width)
        .set("height"_L1, height)
        .set("defaultText"_L1, defaultText)
        .set("confirmDeletion"_L1, confirmDeletion)
        .set("animations"_L1, animations)
        .set("closeRetentionUpgraded"_L1, closeRetentionUpgraded)
        .set("persistFileLinks"_L1, persistFileLinks)
        .set("privateReminderContent"_L1, privateReminderContent)
        .object();
}

} // namespace quorrin
