#pragma once

class QLabel;

namespace quorrin::PanelStyle {

// The text styles the auxiliary panels share.
void makeTitle(QLabel& label);     // large and bold
void makeHeadline(QLabel& label);  // bold
void makeSecondary(QLabel& label); // secondary colour
void makeCaption(QLabel& label);   // small, secondary colour

} // namespace quorrin::PanelStyle
