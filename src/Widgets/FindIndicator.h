#pragma once

#include <QTextCursor>

#include <chrono>

class QTextEdit;

namespace quorrin {

// Marks a found range in a text view with a bright highlight for a moment,
// so the eye finds the selection; the highlight is never part of the text.
namespace FindIndicator {
inline constexpr std::chrono::milliseconds duration{1200};

void show(QTextEdit& view, const QTextCursor& found, std::chrono::milliseconds shownFor = duration);
} // namespace FindIndicator

} // namespace quorrin
