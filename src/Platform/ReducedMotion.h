#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace quorrin {

// Whether the desktop asks for reduced motion. Read once, on first use, from
// the desktop's interface settings (animations switched off) where they can
// be read; otherwise motion is not reduced.
class ReducedMotion {
public:
    // Gives the raw setting text, or nothing when the desktop cannot say.
    using SettingReader = std::function<std::optional<QString>()>;

    explicit ReducedMotion(SettingReader reader = desktopSetting);

    bool isPreferred() const;

    // The GNOME interface switch "enable-animations", read with gsettings.
    static std::optional<QString> desktopSetting();
    // "false" (animations off) means reduced motion; anything else does not.
    static bool fromSetting(const std::optional<QString>& setting);

private:
    SettingReader reader_;
    mutable std::optional<bool> cached_;
};

} // namespace quorrin
