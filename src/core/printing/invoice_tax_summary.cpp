#include "printing/invoice_tax_summary.h"

namespace tarvela {

RateSum InvoiceTaxSummary::rate(int percent) const {
    for (const RateSum& r : rates) {
        if (r.percent == percent)
            return r;
    }
    RateSum none;
    none.percent = percent;
    return none;
}

QString CentsText(qint64 cents, QChar decimalSeparator) {
    const qint64 magnitude = cents < 0 ? -cents : cents;
    return (cents < 0 ? QStringLiteral("-") : QString()) + QString::number(magnitude / 100) +
           decimalSeparator + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

InvoiceSnapshot SnapshotFromRecord(const InvoiceRecord& fields, const AppSettings&) {
    InvoiceSnapshot snapshot;
    snapshot.fields = fields;
    return snapshot;
}

} // namespace tarvela
