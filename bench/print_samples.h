#pragma once

// The reports the print benchmarks render, as the program hands them to the module: Windows-1250
// texts and a C data set with their storage.
#include "printmodule/prm1.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <vector>

namespace tarvela::bench {

struct SampleReport {
    QByteArray templateName; // file name in Ses/
    QByteArray title;        // Windows-1250
    QByteArray variables;    // Windows-1250 "name|value|..."
    std::vector<QByteArray> names;
    std::vector<QByteArray> texts;
    std::vector<Prm1Column> columns;
    std::vector<Prm1Cell> cells;
    Prm1ReportDataSet set{};
    const Prm1ReportDataSet* dataSet() const { return columns.empty() ? nullptr : &set; }
};

// A payer's one-page invoice of four items on 25 grid rows, with the recapitulation per rate,
// the totals and the QR payment code, under the variable names Faktura.fr3 reads.
SampleReport InvoiceSample();

// The overview of a period of `invoices` invoices (PrehledFaktur.fr3), a third of them in euros.
SampleReport OverviewSample(int invoices);

// Texts that the rendered invoice must show (searched in pdftotext's output with runs of spaces
// made single): the recapitulation, the totals and the items.
QStringList InvoiceSampleMustShow();

} // namespace tarvela::bench
