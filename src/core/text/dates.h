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
// "'<part>' is not a valid integer value"; three numbers that form no date throw ConversionError
// "'<text>' is not a valid date".
QDate ParseInvoiceDate(const QString& text);

} // namespace tarvela
