#pragma once

#include <Qt>

class QWidget;

namespace tarvela {

// The font every window of the program is drawn in: MS Sans Serif at 8 points where the
// system has it, otherwise DejaVu Sans at the same size. Sets it on the window; its controls
// inherit it.
void ApplyFormFont(QWidget* window);

// The window flags of a fixed dialog: a dialog border that cannot be resized, a title bar with
// the close button, and the system menu when asked.
Qt::WindowFlags FixedDialogFlags(bool systemMenu);

// A dialog whose size is the one of its form, never resized, with a title bar (and the system
// menu when asked) and the form font.
void SetUpFixedDialog(QWidget* dialog, bool systemMenu = true);

} // namespace tarvela
