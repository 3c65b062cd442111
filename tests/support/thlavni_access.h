#pragma once

// The tests' one way to the main window's controls: ui(w).Ed_Fa1, ui(w).Akce_NovaFaktura, ...
// by the names the forms give them (the window's and its invoice editor's), and to the editor.

#include "app/invoice_editor.h"
#include "app/invoice_editor_ui.h"
#include "app/thlavni.h"
#include "app/thlavni_ui.h"

namespace tarvela {

// The controls of both forms by their names.
struct MainWindowControls : THlavniUi, InvoiceEditorUi {};

struct THlavniTestAccess {
    static MainWindowControls Controls(const THlavni& w) {
        MainWindowControls controls;
        static_cast<THlavniUi&>(controls) = *w.ui_;
        static_cast<InvoiceEditorUi&>(controls) = *w.editor_->ui_;
        return controls;
    }
    static InvoiceEditor& Editor(const THlavni& w) { return *w.editor_; }
    static const QList<QIcon>& ActionImages(const THlavni& w) { return w.imageList_; }
    static const QList<QAction*>& Actions(const THlavni& w) { return w.actionList_; }
};

// Found by argument-dependent lookup wherever a test holds a THlavni.
inline MainWindowControls ui(const THlavni& w) {
    return THlavniTestAccess::Controls(w);
}

// The window's invoice editor: its cells, current row and page.
inline InvoiceEditor& editor(const THlavni& w) {
    return THlavniTestAccess::Editor(w);
}

} // namespace tarvela
