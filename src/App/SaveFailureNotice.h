#pragma once

#include "Platform/NoticePresenter.h"

#include <QString>

#include <functional>

namespace quorrin {

// Tells the user of a failed save without taking the keyboard from the note
// being typed in, and keeps telling until the user closes the notice. Once a
// later attempt has saved everything, the notice says so, shown again if the
// user had closed it meanwhile.
class SaveFailureNotice {
public:
    static inline const QString failedTitle = QStringLiteral("便笺未能保存");
    static inline const QString savedTitle = QStringLiteral("便笺已保存");
    static inline const QString savedMessage = QStringLiteral("之前未能保存的内容现已全部保存。");

    explicit SaveFailureNotice(NoticePresenter& notices);
    ~SaveFailureNotice();

    void failed(const QString& message);
    void saved();

    // The user closed the notice while the changes were still unsaved.
    std::function<void()> onClosedUnsaved;

private:
    void closed();

    enum class State { Quiet, Unsaved, Saved };
    NoticePresenter& m_notices;
    State m_state = State::Quiet;
};

} // namespace quorrin
