#pragma once

#include <vector>

class QWidget;

namespace quorrin::activationtarget {

// The window the application activates as it comes forward while none of
// its windows is active, among `shown` (its shown windows that take the
// focus, in the order the application lists them): the window the request
// is made for, else the one the user last used (`recentFirst`: the windows
// the focus falls back to, the most recently active first), else the last
// one listed. Nothing when none is shown.
QWidget* choose(const std::vector<QWidget*>& shown, const std::vector<QWidget*>& recentFirst, QWidget* requested);

} // namespace quorrin::activationtarget
