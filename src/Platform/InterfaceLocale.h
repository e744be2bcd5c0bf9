#pragma once

#include <QByteArray>
#include <QLocale>
#include <QTranslator>

#include <optional>

namespace quorrin::interfacelocale {

// The interface speaks Simplified Chinese whatever the desktop's locale is:
// dates, numbers and Qt's own widgets follow this locale.
QLocale locale();

// Makes `locale()` Qt's default locale, which every widget made afterwards
// formats with (the reminder panel's dates among them).
void makeDefault();

// Qt reads the desktop's locale from the environment once, while the
// application object is made, and some of its widgets (the file dialog's
// dates) format with that one. For the lifetime of this object the
// environment names the interface's locale; afterwards it is as before, so
// programs the application starts keep the user's own.
class SystemLocaleOverride {
public:
    SystemLocaleOverride();
    ~SystemLocaleOverride();
    SystemLocaleOverride(const SystemLocaleOverride&) = delete;
    SystemLocaleOverride& operator=(const SystemLocaleOverride&) = delete;

    static constexpr const char* variable = "LC_ALL";
    static constexpr const char* value = "zh_CN.UTF-8";

private:
    std::optional<QByteArray> m_before;
};

// Chinese for the few texts of Qt's file dialogs that Qt's own translation
// leaves in English (the kinds of entry: folder, drive, alias).
class FileKindTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
};

} // namespace quorrin::interfacelocale
