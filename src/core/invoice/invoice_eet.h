#pragma once

#include "invoice/invoice_record.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

namespace tarvela {

// The registrations with EET of an invoice's payments received in person, kept in the invoice's
// optional line "Eet=", oldest first, separated by "|"; each is
// "<outbox entry>;<amount in haléře>;<POK or „čeká na odeslání“>", with ";ověřovací režim" after
// a POK of the playground. The n-th registration's porad_cis is "<invoice number>/<n>".
struct EetPayment {
    QString entryId;         // the entry of the EET outbox
    qint64 amountHalere = 0; // the amount received, negative for a refund
    QString pok;             // empty while it waits
    bool playground = false; // the POK came from the playground: never printed as a real one

    friend bool operator==(const EetPayment&, const EetPayment&) = default;
};

inline constexpr char16_t kEetWaitingText[] = u"čeká na odeslání";
inline constexpr char16_t kEetPlaygroundText[] = u"ověřovací režim";

// Reads the value of the "Eet=" line; parts that do not read are left out.
QList<EetPayment> ReadEetPayments(const QString& value);
// The value of the "Eet=" line; empty when there is no registration.
QString EetPaymentsValue(const QList<EetPayment>& payments);

// The porad_cis of the invoice's next registration: "2027001/1", "2027001/2".
QString NextEetPoradCis(const QString& invoiceNumber, const QString& value);

// What the book and the window show of the last registration: empty when there is none,
// "čeká na odeslání", "POK <pok>", or for the playground "ověřovací režim".
QString EetStatusText(const QString& value);
// What a printed receipt carries: "POK: <pok>" for a confirmed registration of the production
// service, "ověřovací režim" for the playground's, nothing while it waits.
QString EetReceiptText(const QString& value);

// The amount the service is told of a payment of `amountHalere` in the invoice's currency: the
// amount itself in crowns ("CZK", "Kč", "czk", or an empty currency whose default is one of
// them), otherwise the amount at the invoice's exchange rate `rateText`, rounded to haléře.
// Raises ValidationError naming the invoice when a foreign amount has no valid rate.
qint64 EetAmountInCrowns(qint64 amountHalere, const QString& currency,
                         const QString& defaultCurrency, const QString& rateText,
                         const QString& invoiceNumber);

// When a payment recorded for `date` was received: now for today (or a day ahead); noon of an
// earlier day (the service refuses moments ahead of its clock).
QDateTime EetPaymentMoment(const QDate& date);

// The bytes of an invoice file with its "Eet=" line set to `value` (added after the other lines
// when the file has none), every other byte unchanged; a file shorter than 49 lines gets empty
// lines up to 49.
QByteArray WithEetValue(const QByteArray& fileBytes, const QString& value);
// The value of the "Eet=" line of an invoice file's bytes; empty when it has none.
QString EetValueOf(const QByteArray& fileBytes);

// Adds a registration to the invoice file (under its lock, atomically). Raises FileError.
void AddEetPayment(const QString& filePath, const EetPayment& payment);
// Writes the confirmation of the registration `entryId` into the invoice file (under its lock,
// atomically); false when the file has no such registration (or no longer exists). Raises
// FileError when it cannot be written.
bool ConfirmEetPayment(const QString& filePath, const QString& entryId, const QString& pok,
                       bool playground);

} // namespace tarvela
