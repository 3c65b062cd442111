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

// The 18 pairs of the cash receipt, from DodavJmeno to JmenoPlatce.
PrintVariables CashReceiptVariables(const InvoiceSnapshot& invoice, const AppSettings& settings);

} // namespace tarvela
