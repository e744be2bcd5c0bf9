#pragma once

#include <QString>

namespace quorrin {

// Shows a modal alert. Injected so the application's error handling can be
// tested without a display.
class AlertPresenter {
public:
    virtual ~AlertPresenter() = default;
    virtual void present(const QString& message, const QString& informativeText) = 0;
};

// The real presenter: a modal warning box.
class MessageBoxAlertPresenter final : public AlertPresenter {
public:
    void present(const QString& message, const QString& informativeText) override;
};

} // namespace quorrin
