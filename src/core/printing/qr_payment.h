#pragma once

#include "invoice/invoice_record.h"
#include "settings/settings_file.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace tarvela {

struct InvoiceSnapshot;

// Longest payment message written into the QR payment text.
inline constexpr int kQrMessageLength = 55;
// Longest amount (AM) and symbols (X-VS, X-KS) a bank app accepts.
inline constexpr int kQrAmountLength = 10;
inline constexpr int kQrVariableSymbolLength = 10;
inline constexpr int kQrConstantSymbolLength = 4;

// The description (trimmed) of the first item row whose code, trimmed and lower-cased, is "msg";
// empty when there is none. That row carries the payment message and is never printed as an item.
QString QrPaymentMessage(const std::array<InvoiceItemRow, kItemRowCount>& rows);
bool IsQrMessageRow(const InvoiceItemRow& row);

// An IBAN as a bank app takes it: spaces removed, letters upper-cased, two letters, two check
// digits and up to 30 letters or digits, and the mod-97 check gives 1.
bool IsValidIban(const QString& iban);
// The IBAN without spaces and upper-cased.
QString CompactIban(const QString& iban);

// The ISO currency code for what the user typed: "CZK", "czk", "Kč", "Kc", "KČ" give "CZK",
// "€" gives "EUR", three ASCII letters in any case are upper-cased. Nothing for anything else.
std::optional<QString> QrCurrencyCode(const QString& typed);

// What a payment code is made of, as the document shows it.
struct QrPaymentData {
    QString Iban;     // the supplier's IBAN as typed
    QString Amount;   // amount due as a caption ("1234,50")
    QString Currency; // currency as typed; empty is CZK
    SymbolType SymbolKind = SymbolType::Variable;
    QString Symbol;  // the symbol field as typed
    QString Message; // payment message, as typed (diacritics are stripped here)
};

// The payment code and, when something had to be left out or no code can be made, one line in
// Czech saying why ("QR Platba: variabilní symbol „FA-2026/042“ neobsahuje jen číslice, v kódu
// chybí."). Text is empty when no valid code can be made.
struct QrPayment {
    QString Text;
    QString Reason;
};

// The payment text in the Czech short payment descriptor format 1.0, valid or none:
// "SPD*1.0*ACC:<IBAN>*AM:<amount>*CC:<currency>[*X-VS:<symbol>][*MSG:<message>]".
// No code without an IBAN that passes the mod-97 check, without a positive amount of at most
// 10 characters with two decimals, or with a currency that is not an ISO code. A symbol that is
// not digits only or too long (10 for X-VS, 4 for X-KS) is left out; a "*" in the message is
// written as "%2A" and a "%" as "%25"; the message is stripped of diacritics, upper-cased and held
// to 55 characters, never cutting an encoded character apart. The currency must be an ISO 4217
// code.
QrPayment MakeQrPayment(const QrPaymentData& data);

// The QR payment of an invoice document: the supplier's IBAN, the given amount due, the
// invoice's currency (else the default, else CZK), the symbol and the "msg" row's message.
QrPayment InvoiceQrPayment(const InvoiceSnapshot& invoice, const AppSettings& settings,
                           const QString& amountDue);

// InvoiceQrPayment(...).Text with the invoice's amount due (the document model's, as the invoice
// prints it).
QString QrPaymentText(const InvoiceSnapshot& invoice, const AppSettings& settings);

} // namespace tarvela
