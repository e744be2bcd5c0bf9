#pragma once

#include "Domain/ParsedJson.h"

#include "Domain/NoteColor.h"
#include "Domain/RichText.h"
#include "Domain/TextDefaults.h"

#include <QJsonValue>
#include <QString>

#include <optional>

namespace quorrin {

// The application-wide settings: what new notes start with, the shared
// window layer of all notes and the behaviour switches.
struct Preferences {
    NoteColor color = NoteColor::Cream;
    QString fontName = TextFont::systemFamily();
    double fontSize = defaultFontSize;
    double opacity = 1.0;
    bool alwaysOnTop = false; // the layer of all note windows
    double width = 310;
    double height = 330;
    RichText defaultText = emptyDefaultText(); // the saved typing style; new notes do not read it
    bool confirmDeletion = true;
    bool animations = true;
    // Switches added later: each counts as on only when present and true.
    std::optional<bool> closeRetentionUpgraded;
    std::optional<bool> persistFileLinks;
    std::optional<bool> privateReminderContent;

    bool isCloseRetentionUpgraded() const { return closeRetentionUpgraded.value_or(false); }
    bool keepsFileLinks() const { return persistFileLinks.value_or(false); }
    bool hidesReminderContent() const { return privateReminderContent.value_or(false); }

    friend bool operator==(const Preferences& a, const Preferences& b);

    static Preferences fromJson(const QJsonValue& value);
    static Preferences fromJson(const json::ParsedValue& value);
    QJsonValue toJson() const;
};

} // namespace quorrin
