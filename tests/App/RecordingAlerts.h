#pragma once

#include "Platform/AlertPresenter.h"
#include "Platform/NoticePresenter.h"

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

// Records every notice shown; close() is the user closing it.
struct RecordingNotices final : NoticePresenter {
    QStringList titles;
    QStringList messages;
    bool shown = false;
    void show(const QString& title, const QString& message) override
    {
        titles << title;
        messages << message;
        shown = true;
    }
    void close()
    {
        shown = false;
        if (onClosed)
            onClosed();
    }
};

} // namespace quorrin::testing
