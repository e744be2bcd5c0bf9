#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QThread;

namespace quorrin {

// Whether the desktop asks for reduced motion. Read once, from the desktop's
// interface settings (animations switched off) where they can be read;
// otherwise motion is not reduced.
class ReducedMotion {
public:
    // Gives the raw setting text, or nothing when the desktop cannot say.
    using SettingReader = std::function<std::optional<QString>()>;

    // Reads the setting on first use, waiting for the answer.
    explicit ReducedMotion(SettingReader reader = desktopSetting);
    ~ReducedMotion();
    ReducedMotion(const ReducedMotion&) = delete;
    ReducedMotion& operator=(const ReducedMotion&) = delete;

    // Starts reading at once on a thread of its own, so nobody waits for the
    // desktop (reading it starts a process). Until the answer is in, motion
    // counts as reduced: nothing animates that the desktop might forbid.
    static std::shared_ptr<ReducedMotion> readInBackground(SettingReader reader = desktopSetting);

    bool isPreferred() const;

    // The GNOME interface switch "enable-animations", read with gsettings.
    static std::optional<QString> desktopSetting();
    // "false" (animations off) means reduced motion; anything else does not.
    static bool fromSetting(const std::optional<QString>& setting);

private:
    SettingReader reader_;
    mutable std::optional<bool> cached_;
    // The background read and its answer, until the answer is taken.
    mutable std::unique_ptr<QThread> reading_;
    std::optional<QString> answer_;
};

} // namespace quorrin
