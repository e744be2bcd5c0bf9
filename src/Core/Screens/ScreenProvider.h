#pragma once

#include <QList>
#include <QRectF>

#include <optional>
#include <utility>

namespace quorrin {

// The screens as the model sees them: rectangles in screen points with the
// origin at the bottom left of the main screen and y growing upwards.
// Visible frames leave out panels and docks that the desktop reserves.
class ScreenProvider {
public:
    virtual ~ScreenProvider() = default;

    // Visible frames of all screens, main screen first, then in system order.
    virtual QList<QRectF> visibleFrames() const = 0;

    // The visible frame of the screen new windows should appear on; nothing
    // when no screen is attached.
    virtual std::optional<QRectF> mainVisibleFrame() const = 0;
};

// A fixed set of screens: for tests, and for runs without a display.
class FixedScreenProvider final : public ScreenProvider {
public:
    FixedScreenProvider() = default;
    explicit FixedScreenProvider(QList<QRectF> visibleFrames)
        : frames_(std::move(visibleFrames))
    {
    }

    QList<QRectF> visibleFrames() const override { return frames_; }

    std::optional<QRectF> mainVisibleFrame() const override
    {
        if (frames_.isEmpty())
            return std::nullopt;
        return frames_.front();
    }

    void setVisibleFrames(QList<QRectF> frames) { frames_ = std::move(frames); }

private:
    QList<QRectF> frames_;
};

} // namespace quorrin
