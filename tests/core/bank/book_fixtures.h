#pragma once

// Invoices of the book as the bank matching sees them.

#include "editor/invoice_book.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_record.h"

namespace tarvela::test {

// An invoice of one row: `price` without tax at 21 %, so the total is price x 1.21.
inline InvoiceRecord BankInvoice(const QString& number, const QString& symbol, const QString& price,
                                 const QString& currency = "CZK", const QString& paidDate = {},
                                 const QString& paid = {}, const QDate& due = QDate(2026, 3, 15)) {
    InvoiceRecord record;
    record.Cislo = number;
    record.Symbol = symbol;
    record.DatumPlneni = record.DatumVystaveni = QDate(2026, 3, 1);
    record.DatumSplatnosti = due;
    record.OdberatelNazev1 = QStringLiteral("Řeznictví Šťastný");
    record.Polozky[0] = {QStringLiteral("A1"),
                         QStringLiteral("Oprava"),
                         QStringLiteral("ks"),
                         QStringLiteral("1"),
                         price,
                         QStringLiteral("21")};
    record.Uhrnem = QStringLiteral("0");
    record.Mena = currency;
    record.DatumUhrady = paidDate;
    record.UhrazenaCastka = paid;
    return record;
}

inline BookEntry BankBookEntry(const InvoiceRecord& record, int year = 2026) {
    return ReadBookEntry(InvoiceFileBytes(record),
                         QStringLiteral("/program/%1/%2.tvl").arg(year).arg(record.Cislo), year,
                         VatRates{}, QStringLiteral("CZK"));
}

} // namespace tarvela::test
