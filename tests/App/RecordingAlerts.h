#pragma once

#include "Platform/AlertPresenter.h"

#include <QStringList>

namespace quorrin::testing {

// Records every alert instead of showing it.
struct RecordingAlerts final : AlertPresenter {
    QStringList messages;
    QStringList details;
    void present(const QString& message, const QString& informativeText) override
    {
        messages << message;
        details << informativeText;
    }
};

} // namespace quorrin::testing
