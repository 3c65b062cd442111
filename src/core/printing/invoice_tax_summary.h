#pragma once

#include "invoice/invoice_record.h"
#include "printing/invoice_documents.h"
#include "settings/settings_file.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace tarvela {

// One item row that the exports carry: a row with a description that is not blank or with a base
// that is not zero. Amounts in haléře (hundredths of the invoice's currency).
struct TaxLine {
    int row = 0;          // grid row 1 to 25
    int percent = 0;      // the row's VAT rate in per cent (0 for a rate cell that names no rate)
    double base = 0;      // quantity x unit price, not rounded
    qint64 baseCents = 0; // the base as printed on the row
    qint64 taxCents = 0;  // the row's tax
};

// The sums of one VAT rate.
struct RateSum {
    int percent = 0;
    qint64 baseCents = 0; // sum of the unrounded bases of the rate, rounded as printed
    qint64 taxCents = 0;  // sum of the rows' taxes
};

// The figures of an invoice the way the window computes and prints them: the rows recomputed from
// their cells with the settings' rates, summed per rate.
struct InvoiceTaxSummary {
    std::vector<TaxLine> lines;
    std::vector<RateSum> rates; // the rates used by the lines, ascending; empty without lines
    qint64 baseCents = 0;       // sum of the rates' bases
    qint64 taxCents = 0;        // sum of the rates' taxes
    qint64 totalCents() const { return baseCents + taxCents; }
    // The rate's sums, zero when no line has that rate.
    RateSum rate(int percent) const;
};

// Recomputes the 25 rows of the record (a quantity or price that does not read throws
// ConversionError, as in the window) and sums them per rate.
InvoiceTaxSummary SummarizeInvoice(const InvoiceRecord& fields, const AppSettings& settings);

// The rate in per cent that a rate cell names among the settings' rates: "0" and the decimal
// texts of the three rates, the last match winning; 0 when it names none.
int RowRatePercent(const QString& rateCell, const AppSettings& settings);

// An amount in haléře as text with two decimals and the given separator ("-1234,05").
QString CentsText(qint64 cents, QChar decimalSeparator = QLatin1Char(','));

// A printed amount (FormatAmount of the value) in haléře.
qint64 AmountCents(double value);

// The snapshot the window shows for a record read from its file: the rows recomputed, the row
// bases and the total captions as the totals panel formats them.
InvoiceSnapshot SnapshotFromRecord(const InvoiceRecord& fields, const AppSettings& settings);

} // namespace tarvela
