#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tarvela {

// One row of the open dialog's list: what a period's invoice file says about the invoice.
struct InvoiceListEntry {
    QString FileName;  // the file's name as listed ("2026001.tvl")
    QString Cislo;     // the name without its last four characters
    QString Datum;     // line 7, date of supply, as text
    QString Odberatel; // line 11, customer name 1
    QString Celkem;    // line 46 read leniently and written with two decimals
    QString Splatnost; // line 9, due date, as text
    QString Uhrazeno;  // line 47, payment date, as text
    QString Mena;      // line 48, currency
    bool operator==(const InvoiceListEntry&) const = default;
};

// The names of the invoice files of a folder: ordinary files matching "*.tvl" (the extension in
// any case), no folders and no hidden files, sorted ascending as texts without regard to case in
// the locale's collation ("2026010.tvl" before "202602.tvl"). A missing folder gives no names.
QStringList ListInvoiceFileNames(const QString& folder);

// Reads the entry of one invoice file of the folder. A file is never refused: a file that lacks
// a line shows an empty cell for it, a total that does not read as a number shows an empty
// total, and a file that cannot be read at all shows only its number.
InvoiceListEntry ReadInvoiceListEntry(const QString& folder, const QString& fileName);

} // namespace tarvela
