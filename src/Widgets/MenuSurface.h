#pragma once

#include "Widgets/ThemedSurfaceView.h"

#include <functional>

namespace quorrin {

// A themed surface that says when the pointer enters and leaves it.
class MenuSurface : public ThemedSurfaceView {
    Q_OBJECT
public:
    explicit MenuSurface(QWidget* parent = nullptr);

    std::function<void()> onEnter;
    std::function<void()> onExit;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

} // namespace quorrin
