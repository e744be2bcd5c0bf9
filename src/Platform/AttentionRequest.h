#pragma once

class QWidget;

namespace quorrin {

// Marks a top-level window as wanting the user's attention (the task bar
// flashes or highlights it) or clears the mark. Unlike QApplication::alert,
// the mark can be taken back before the user looks at the window.
void setDemandsAttention(QWidget& window, bool demands);

} // namespace quorrin
