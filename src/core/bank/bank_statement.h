#pragma once

#include "text/errors.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QtGlobal>

#include <vector>

namespace tarvela {

// What a movement on the account is. Only incoming payments are ever matched to invoices.
enum class PaymentKind {
    Incoming, // money received from someone
    Outgoing, // money sent
    Fee,      // the bank's charge
    Interest, // interest credited (or charged) by the bank
    Reversal  // a payment taken back by the bank
};

// One movement of a statement, as the bank wrote it.
struct BankPayment {
    QDate Datum;       // the day it was booked
    qint64 Halere = 0; // the amount in haléře (cents), never negative; Druh says which way
    QString Mena;      // ISO code, "CZK"
    QString Ucet;      // the statement's own account
    QString Protiucet; // "19-2000145399/0800", an IBAN, or empty
    QString Nazev;     // the counterparty's name or the bank's description
    QString Symbol;    // the variable symbol, digits without leading zeros; empty when none
    QString Zprava;    // the message for the recipient
    QString Reference; // the bank's own reference of the movement; empty when it gives none
    PaymentKind Druh = PaymentKind::Incoming;
    int Radek = 0; // the line of the file where the movement is written
};

struct BankStatement {
    QString Soubor; // the file's name, as messages name it
    QString Format; // "GPC" or "CAMT.053"
    std::vector<BankPayment> Platby;
};

// A statement that cannot be read; the message names the file and the line or element.
class StatementError : public TarvelaError {
public:
    using TarvelaError::TarvelaError;
};

// A statement is refused beyond this size: a month of a busy account is a few megabytes.
inline constexpr qint64 kMaxStatementSize = qint64(32) << 20;

// Reads a GPC/ABO statement (Windows-1250, 128-character records 074 and 075). `name` is what
// the messages call the file. Raises StatementError.
BankStatement ReadGpcStatement(const QByteArray& bytes, const QString& name);

// Reads an ISO 20022 CAMT.053 statement (camt.053.001.02 and later). A document type
// declaration or an entity is refused: nothing is expanded or fetched. Raises StatementError.
BankStatement ReadCamtStatement(const QByteArray& bytes, const QString& name);

// Reads either format, told by the first bytes. Raises StatementError.
BankStatement ReadStatementBytes(const QByteArray& bytes, const QString& name);

// Reads the statement file at the path; a file larger than kMaxStatementSize is refused unread.
// Raises StatementError.
BankStatement ReadStatementFile(const QString& path);

// What the record of written payments knows a movement by: the bank's reference with the account,
// or, when the bank gives none, the date, amount, counter-account and symbol. ASCII only.
QString PaymentIdentity(const BankPayment& payment);

// "Příchozí platba", "Odchozí platba", "Poplatek", "Úrok", "Storno".
QString PaymentKindText(PaymentKind kind);

// A variable symbol as digits without leading zeros ("0002026001" -> "2026001"); empty when the
// text holds anything but digits, more than ten digits, or only zeros.
QString NormalizedSymbol(const QString& text);

// The currency code of an ISO 4217 number ("203" -> "CZK"); empty when it is not known.
QString CurrencyOfNumber(int number);

} // namespace tarvela
