#pragma once

#include <QDate>
#include <QString>

namespace tarvela {

// The zero date of the date system, 30 December 1899: what an unreadable short date text gives.
QDate ZeroDate();

// "d.m.yyyy" without leading zeros in day and month, four-digit year: "5.3.2026". A null date is
// written as the zero date.
QString FormatInvoiceDate(const QDate& date);

// Reads a stored date text. Shorter than 8 characters, or not exactly three parts between full
// stops: the zero date. Three parts that are not whole numbers throw ConversionError
// "„<part>“ není celé číslo."; three numbers that form no date throw ConversionError
// "„<text>“ není platné datum.".
QDate ParseInvoiceDate(const QString& text);

// Reads a date the user typed into a field: "d.m.yyyy", day and month of one or two digits, a
// four-digit year, spaces around it ignored. Anything else, and a date that does not exist
// ("31.2.2026"), throws ConversionError naming the field: "Datum vystavení: „31.2.2026“ není
// platné datum; zadejte den.měsíc.rok, například 5.3.2026." Never shifts a date into another.
QDate ParseTypedDate(const QString& field, const QString& text);

} // namespace tarvela
