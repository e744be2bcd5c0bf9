#pragma once

#include "Platform/AlertPresenter.h"

#include <QStringList>

#include <functional>

namespace quorrin::testing {

// Records every alert instead of showing it.
struct RecordingAlerts final : AlertPresenter {
    QStringList messages;
    QStringList details;
    // Runs while each alert is on screen, as the user's doing before closing it.
    std::function<void()> whilePresented;
    void present(const QString& message, const QString& informativeText) override
    {
        messages << message;
        details << informativeText;
        if (whilePresented)
            whilePresented();
    }
};

} // namespace quorrin::testing
