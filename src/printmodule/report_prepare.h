#pragma once

#include "prm1.h"
#include "report_layout.h"

namespace tarvela::prm1 {

// The report of a call of the module: the template read and expanded with the variables (texts in
// Windows-1250 as the entry points receive them) and the rows of the data set (may be null), and
// the variables the module itself reads (QRCode, NazevSouboru, QRDuvod). Raises ReportError.
RenderedReport PrepareReport(const char* templatePath, const char* title, const char* variables,
                             const Prm1ReportDataSet* dataSet);

} // namespace tarvela::prm1
