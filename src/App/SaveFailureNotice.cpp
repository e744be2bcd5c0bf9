#include "App/SaveFailureNotice.h"

namespace quorrin {

SaveFailureNotice::SaveFailureNotice(NoticePresenter& notices)
    : m_notices(notices)
{
    m_notices.onClosed = [this] { closed(); };
}

SaveFailureNotice::~SaveFailureNotice()
{
    m_notices.onClosed = nullptr;
}

void SaveFailureNotice::failed(const QString& message)
{
    m_state = State::Unsaved;
    m_notices.show(failedTitle, message);
}

void SaveFailureNotice::saved()
{
    if (m_state != State::Unsaved)
        return;
    m_state = State::Saved;
    m_notices.show(savedTitle, savedMessage);
}

void SaveFailureNotice::closed()
{
    switch (m_state) {
    case State::Unsaved:
        if (onClosedUnsaved)
            onClosedUnsaved();
        break;
    case State::Saved: m_state = State::Quiet; break;
    case State::Quiet: break;
    }
}

} // namespace quorrin
