#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace quorrin {

// One occurrence of the searched text in the note's text.
struct TextMatch {
    int start = 0;
    int length = 0;

    int end() const { return start + length; }
    friend bool operator==(const TextMatch&, const TextMatch&) = default;
};

// Searching the note's text as it is shown: every block and every shown
// remark, one line break between runs. A match never spans a line break,
// so a replacement never joins two blocks.
namespace findreplace {

// Every non-overlapping occurrence of `needle`, in text order. An empty
// needle matches nothing.
std::vector<TextMatch> findAll(const QString& text, const QString& needle, bool matchCase);

// The match to go to from a caret position: forward, the first match that
// starts at or after `from`; backward, the last one that starts before it.
// Both wrap around the end of the text. Nothing when there are no matches.
std::optional<std::size_t> nextIndex(const std::vector<TextMatch>& matches, int from, bool forward);

// The index of the match that covers exactly [start, start + length).
std::optional<std::size_t> indexOf(const std::vector<TextMatch>& matches, int start, int length);

// The text of the bar's counter: "2 / 5", or "无结果" for a search without
// matches (empty for an empty search).
QString counterText(const QString& needle, std::size_t count, std::optional<std::size_t> current);

} // namespace findreplace
} // namespace quorrin
