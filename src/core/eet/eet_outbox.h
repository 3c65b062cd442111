#pragma once

#include "eet/eet_answer.h"
#include "eet/eet_certificate.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarvela::eet {

// A payment older than this and still not confirmed is shown with a warning: the law allows
// 48 hours.
inline constexpr qint64 kLateAfterSeconds = 40 * 3600;

// One registered payment in the outbox.
struct OutboxEntry {
    enum class State {
        Waiting,   // not confirmed yet; sent again automatically
        Refused,   // the service refused it with a final error; sent again once mended
        Confirmed, // the service registered it: the POK is there
    };
    QString id;        // the entry's name: the moment of registering and a random suffix
    QByteArray data;   // the Data attributes exactly as every sending carries them
    QString reference; // what was paid ("Faktura 2027001", "Příjmový doklad 12")
    QString file;      // the invoice file that shows the registration; may be empty
    qint64 amountHalere = 0;
    bool playground = false; // registered with the playground
    QDateTime registered;    // when it entered the outbox (UTC)
    State state = State::Waiting;
    int attempts = 0;
    QDateTime lastAttempt; // UTC
    QString lastError;     // Czech, of the last unsuccessful attempt
    QString pok;           // when confirmed
    bool testPok = false;  // the playground's POK: never printed as a real one
    QString lastUuid;      // uuid_zpravy of the last sending
    QStringList warnings;  // the service's warnings with the confirmation, in Czech

    // Not confirmed and registered more than 40 hours before `now`.
    bool isLate(const QDateTime& now) const;
};

// One sending of one entry under way, from Outbox::beginSending to finishSending. While it
// lives no other sending of the entry can begin, in this process or another (the lock is the
// operating system's and dies with the process).
class Sending {
public:
    Sending(Sending&& other) noexcept;
    Sending& operator=(Sending&&) = delete;
    Sending(const Sending&) = delete;
    ~Sending();

    const QString& id() const { return id_; }
    const QString& uuid() const { return uuid_; }
    bool firstSending() const { return first_; }
    // The signed SOAP envelope to post.
    const QByteArray& envelope() const { return envelope_; }

private:
    friend class Outbox;
    Sending(QString id, QString uuid, bool first, QByteArray envelope, int lockFd);
    QString id_;
    QString uuid_;
    bool first_ = false;
    QByteArray envelope_;
    int lockFd_ = -1;
};

// The registrations, each written durably before it is ever sent, in a folder of the program
// folder: `cekajici/` holds the waiting and refused ones (read at every start), `odeslane/` the
// confirmed ones (read only when listed). Every change is an atomic replacement of one small
// file, synced, so that a kill at any moment leaves each entry either as it was or as it became.
// Any number of instances of the program may share the folder: each entry is sent by one at a
// time, and only one sending of an entry is ever its first one.
class Outbox {
public:
    explicit Outbox(const QString& folder);

    const QString& folder() const { return folder_; }

    // Writes a new entry for `data` (DataAttributes of the payment) durably and returns it. A
    // payment already in the outbox (the same eic_popl, id_jednotky, id_pokl and porad_cis,
    // which the service never accepts twice) is not added again: its entry is returned, whatever
    // state it is in. Raises FileError when it cannot be written.
    OutboxEntry add(const QByteArray& data, const QString& reference, qint64 amountHalere,
                    bool playground, const QDateTime& now, const QString& file = QString());

    // The waiting and refused entries, oldest first. A damaged file is listed as refused with a
    // message saying so, never skipped.
    QList<OutboxEntry> pending() const;
    // The confirmed entries, oldest first.
    QList<OutboxEntry> confirmed() const;
    // One entry by its id, wherever it is.
    std::optional<OutboxEntry> find(const QString& id) const;

    // Starts a sending of the entry: locks it, decides whether it is the first sending, builds
    // the message with a new uuid_zpravy and the entry's unchanged Data, and signs it with
    // `cert`. Nothing when the entry is confirmed, gone, or being sent by someone else. A message
    // that cannot be signed (e.g. an expired certificate) raises ValidationError, the entry
    // keeping the message as its last error.
    std::optional<Sending> beginSending(const QString& id, const TaxpayerCertificate& cert,
                                        const QDateTime& now);
    // Records the answer of the sending (or why there was none): a confirmation moves the entry
    // to the confirmed ones; anything else leaves it waiting (temporary) or refused (final) with
    // the answer's Czech message. Returns the entry as it now is.
    OutboxEntry finishSending(Sending& sending, const Answer& answer, const QDateTime& now);

    // Puts a refused entry back among the waiting ones (after the user mended the settings).
    void retry(const QString& id);

private:
    QString folder_;
};

} // namespace tarvela::eet
