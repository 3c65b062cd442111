#pragma once

// The controls of the invoice editor, shared by the editor's source files (and the tests'
// accessor), never by other windows.

#include <QMenu>

#include "ui_invoice_editor.h"

namespace tarvela {

// The form as designed (invoice_editor.ui: the pages, fields, grid and totals panel) plus the
// pop-up menu of periods the pickers fill.
struct InvoiceEditorUi : Ui::InvoiceEditor {
    QMenu* PMenu_Rok = nullptr;
};

} // namespace tarvela
