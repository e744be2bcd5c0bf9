#pragma once

class QWidget;

namespace quorrin {

// Escape and Ctrl+W close the top-level window, as its close button does:
// every window of the application closes from the keyboard.
void closeOnKeys(QWidget& window);

} // namespace quorrin
