#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

namespace tarvela::eet {

// The organisation that signs the service's confirmations (the Financial Administration).
inline constexpr char kServiceSignerId[] = "NTRCZ-72080043";
// The largest answer read; the service's answers are a few kilobytes.
inline constexpr int kMaxAnswerBytes = 64 * 1024;

// Whom to trust when reading an answer.
struct AnswerTrust {
    QByteArray chainPem; // the certificates the signer must chain to (PEM)
    QString signerId = QString::fromLatin1(kServiceSignerId); // its organizationIdentifier
    bool production = true; // a test answer is refused in production
};

// What an answer means for the payment.
enum class Outcome {
    Confirmed, // registered: the POK is there
    Verified,  // a message in verification mode was correct (code 0); nothing registered
    Temporary, // not registered, send again later: code −1, Fault, malformed, untrusted, offline
    Final,     // refused (codes 2–8 and the reserved ones): the data or settings must be mended
};

struct Answer {
    Outcome outcome = Outcome::Temporary;
    QString uuid;                        // the message the answer is for
    QString pok;                         // the confirmation code (Confirmed)
    bool test = false;                   // a playground answer
    int code = 0;                        // the error code (Verified, Final, and −1)
    QString serviceText;                 // the service's own text of the error (ASCII)
    QList<QPair<int, QString>> warnings; // code and text of each warning
    QString message;       // what happened, in Czech, for the user (empty for a plain confirmation)
    QString transactionId; // the service's X-Global-Transaction-Id, for a report to it
};

// Reads the service's answer to the message `expectedUuid`. Never throws: an answer that does not
// read, is not signed by the expected signer, is for another message, or (in production) is a
// test answer, comes back Temporary with a Czech message saying why. `at` is the moment the
// signer's certificate must be valid at (now, when the answer has just arrived).
Answer ReadAnswer(const QByteArray& body, const QString& expectedUuid, const AnswerTrust& trust,
                  const QDateTime& at);

// The Czech explanation of an error code, with what to mend.
QString ErrorCodeMessage(int code);
// The Czech explanation of a warning code.
QString WarningMessage(int code);

} // namespace tarvela::eet

namespace tarvela::eet {
// The certificates the service's answer signer chains to, as bundled with the program (PEM): the
// default of the setting of trusted answer-signing certificates.
QByteArray BundledSigningChain();
} // namespace tarvela::eet
