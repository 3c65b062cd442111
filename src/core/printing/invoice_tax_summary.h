#pragma once

#include "invoice/invoice_record.h"
#include "printing/invoice_documents.h"
#include "settings/settings_file.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace tarvela {

// The sums of one VAT rate in the VAT summary, in haléře (crowns).
struct RateSum {
    int percent = 0;
    qint64 baseCents = 0;
    qint64 taxCents = 0;
};

// Sums per rate of several documents (the VAT summary's period, its documents one by one and the
// rest), added up from the document model's figures in crowns.
struct InvoiceTaxSummary {
    std::vector<RateSum> rates; // ascending; empty without documents
    qint64 baseCents = 0;       // sum of the rates' bases
    qint64 taxCents = 0;        // sum of the rates' taxes
    qint64 totalCents() const { return baseCents + taxCents; }
    // The rate's sums, zero when no document has that rate.
    RateSum rate(int percent) const;
};

// An amount in haléře as text with two decimals and the given separator ("-1234,05").
QString CentsText(qint64 cents, QChar decimalSeparator = QLatin1Char(','));

// The snapshot of a record read from its file, as the window would show it.
InvoiceSnapshot SnapshotFromRecord(const InvoiceRecord& fields, const AppSettings& settings);

} // namespace tarvela
