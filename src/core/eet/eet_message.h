#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace tarvela::eet {

// The namespace of the messages of the registration of sales (interface 4.x).
inline constexpr char kNamespace[] = "http://fs.gov.cz/eet/schema/v4";

// An amount as the service writes it: crowns with a dot and exactly two decimals ("87988.00",
// "-0.05", "0.00"). Amounts of 100 000 000 crowns or more raise ValidationError.
QString FormatAmount(qint64 halere);

// A moment as the service writes it: Prague time with its offset and no fraction of a second
// ("2027-01-08T21:19:40+01:00", "2027-07-01T08:00:00+02:00").
QString FormatMoment(const QDateTime& moment);

// A fresh random message identifier (UUID version 4, lower case, 36 characters).
QString NewMessageUuid();

// One payment received in person, as the till registers it.
struct Sale {
    QString eicPopl;                      // the taxpayer's EIČ, "CZ" and 8 to 10 digits
    QString eicPoverujiciho;              // the delegating taxpayer; empty when none
    QString idJednotky;                   // the evidence unit as the tax portal numbers it
    QString idPokl;                       // the till
    QString poradCis;                     // the receipt's number, unique on the till
    QDateTime received;                   // when the payment was received
    qint64 totalHalere = 0;               // the amount received, negative for a refund
    std::optional<qint64> urcenoCerpZuct; // of it, paid for later drawing
    std::optional<qint64> cerpZuct;       // of it, drawn from earlier payments
};

// The Data element's attributes exactly as they are sent, in the service's order:
// `eic_popl="CZ00000019" id_jednotky="181" ...`. Built once per payment and kept, so that every
// resending carries the same bytes. Each value is checked (characters, masks, lengths): a value
// the service refuses raises ValidationError with a Czech message naming the field.
QByteArray DataAttributes(const Sale& sale);

// The header of one sending.
struct Header {
    QString uuid;              // new for every sending
    QDateTime sent;            // the moment of this sending
    bool firstSending = true;  // false for every repeated sending of the same payment
    bool verification = false; // a check of the message only; nothing is registered
};

// The Body's content: `<v4:Trzba xmlns:v4=...><v4:Hlavicka .../><v4:Data .../></v4:Trzba>`.
QByteArray TrzbaElement(const Header& header, const QByteArray& dataAttributes);

// Checks an element of the service's namespace (a Trzba or an Odpoved, with its namespace
// declared on it or above) against the service's schema. Empty when valid, otherwise the first
// problem in the validator's words.
QString SchemaProblem(const QByteArray& elementXml);

} // namespace tarvela::eet
