#pragma once

// The tests' one way to the main window's controls: ui(w).Ed_Fa1, ui(w).Akce_NovaFaktura, ...
// by the names the form gives them.

#include "app/thlavni.h"
#include "app/thlavni_ui.h"

namespace tarvela {

struct THlavniTestAccess {
    static THlavniUi& Controls(const THlavni& w) { return *w.ui_; }
};

// Found by argument-dependent lookup wherever a test holds a THlavni.
inline THlavniUi& ui(const THlavni& w) {
    return THlavniTestAccess::Controls(w);
}

} // namespace tarvela
