#pragma once

#include "prm1.h"

class QWidget;

namespace tarvela::prm1 {

struct RenderedReport;

// Shows the modal print preview (Czech) of the report on A4: zoom, page setup, printing, and the
// button "Uložit jako PDF". Returns when the user closes it.
void ShowPreview(const RenderedReport& report);

// The parent for the module's windows: the program's active window, if any.
QWidget* ModuleParentWindow();

// The preview and the printer live in a library of their own beside the module
// (libPRM1ui.so, PRM1ui.dll), the one part of the module that links Qt Widgets, Qt Print Support
// and CUPS: the module loads it only for a preview, so a PDF never loads them. Its one entry
// point, kPreviewEntry, does what SestavaStandard does (dataSet may be null: SestavaNeDB). Only
// the module uses it; the name changes with the signature.
inline constexpr char kPreviewEntry[] = "Prm1NahledSestavy1";
using PreviewEntryFn = void (*)(const char* templatePath, const char* title, const char* variables,
                                const Prm1ReportDataSet* dataSet);

} // namespace tarvela::prm1
