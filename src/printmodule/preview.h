#pragma once

class QWidget;

namespace tarvela::prm1 {

struct RenderedReport;

// Shows the modal print preview (Czech) of the report on A4: zoom, page setup, printing, and the
// button "Uložit jako PDF". Returns when the user closes it.
void ShowPreview(const RenderedReport& report);

// The parent for the module's windows: the program's active window, if any.
QWidget* ModuleParentWindow();

} // namespace tarvela::prm1
