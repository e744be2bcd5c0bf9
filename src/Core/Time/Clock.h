#pragma once

#include "Core/Time/Date.h"

#include <functional>

namespace quorrin {

// The source of "now", injected wherever the current moment matters so tests
// can fix it.
using Clock = std::function<Date()>;

inline Date systemNow()
{
    return Date::fromDateTime(QDateTime::currentDateTimeUtc());
}

} // namespace quorrin
