#pragma once

class QWidget;

namespace tarvela {

// The font every window of the program is drawn in: MS Sans Serif at 8 points where the
// system has it, otherwise DejaVu Sans at the same size. Sets it on the window; its controls
// inherit it.
void ApplyFormFont(QWidget* window);

} // namespace tarvela
