#pragma once

#include "editor/invoice_book.h"
#include "invoice/invoice_record.h"
#include "printing/print_variables.h"
#include "settings/settings_file.h"

#include <QDate>
#include <QString>

namespace tarvela {

// The payment reminder of an overdue invoice ("Upomínka"), printed without rows.

// Report template, relative to the program folder: "Ses/Upominka.fr3".
QString ReminderTemplate();
// Report title: "Upomínka k faktuře 2026001".
QString ReminderTitle(const QString& number);

// The variables of the reminder (docs/templates.md lists them): the supplier with its bank
// account, the customer, the invoice's number, dates and symbol, the days overdue on `today`, the
// total, what was paid and what is still owed, and the QR payment code of the amount still owed
// (QRCode, with QRDuvod saying why there is none). `invoice` is the invoice file read whole,
// `entry` its line in the book.
PrintVariables ReminderVariables(const InvoiceRecord& invoice, const BookEntry& entry,
                                 const AppSettings& settings, const QDate& today);

} // namespace tarvela
