#pragma once

#include "invoice/invoice_record.h"
#include "settings/settings_file.h"

#include <QString>

#include <array>

namespace tarvela {

struct InvoiceSnapshot;

// Longest payment message written into the QR payment text.
inline constexpr int kQrMessageLength = 55;

// The description (trimmed) of the first item row whose code, trimmed and lower-cased, is "msg";
// empty when there is none.
QString QrPaymentMessage(const std::array<InvoiceItemRow, kItemRowCount>& rows);

// The payment text of the QR code in the Czech short payment descriptor format 1.0:
// "SPD*1.0*ACC:<IBAN>*AM:<total>*CC:<currency>*X-VS:<symbol>[*MSG:<message>]" (X-KS for the
// constant symbol; for any other symbol type the symbol field is left out, as it has no key).
//
// Empty when no payment can be described: a zero or empty total, no IBAN, or a negative total (a
// credit note asks for no payment). A "*" inside the symbol or the message would end the field
// early, so it is written as "%2A"; the message is stripped of diacritics, upper-cased and held
// to 55 characters as written, never cutting a "%2A" apart.
QString QrPaymentText(const InvoiceSnapshot& invoice, const AppSettings& settings);

} // namespace tarvela
