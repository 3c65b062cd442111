#pragma once

#include "printing/print_variables.h"
#include "settings/settings_file.h"

#include <QString>

namespace tarvela {

struct InvoiceSnapshot;

// Report template of the cash receipt, relative to the program folder.
QString CashReceiptTemplate();
// Report title of the cash receipt: the action's caption "Příjmový doklad", or "Výdajový
// doklad" when a negative amount is paid out (CashReceiptPaysOut).
QString CashReceiptTitle(bool payout = false);
bool CashReceiptPaysOut(const InvoiceSnapshot& invoice, const AppSettings& settings);
// The title the receipt is printed with, in the footer of its page and the preview's caption:
// the title and the number ("Příjmový doklad č. 2026015").
QString CashReceiptReportTitle(const QString& number, bool payout = false);

// The 18 pairs of the cash receipt, from DodavJmeno to JmenoPlatce.
PrintVariables CashReceiptVariables(const InvoiceSnapshot& invoice, const AppSettings& settings);

} // namespace tarvela
