#pragma once

#include "eet/eet_outbox.h"
#include "eet/eet_settings.h"
#include "net/eet_sender.h"

#include <QObject>
#include <QString>

namespace tarvela {

// The program's one sender of EET registrations for its program folder: reads the settings and
// the certificate, keeps the dispatcher sending the outbox in the background (at start, after
// each new payment and every five minutes), and registers new payments. Never blocks the window.
class EetService : public QObject {
    Q_OBJECT
public:
    // The service of the program folder, made on first use (parented to the application).
    static EetService& Of(const QString& programFolder);

    // Reads the settings anew and, when the supplier registers, starts sending what waits.
    void start();
    // Writes a payment received in person to the outbox (durably, before anything is sent) and
    // sends it in the background. `poradCis` must be unique on the till: registered again, the
    // payment keeps its first entry. Returns the entry; raises ValidationError / FileError when
    // it cannot be registered. Nothing (and no entry) when the supplier does not register. When
    // the registration is confirmed, its POK is written into `invoiceFile` (its line "Eet=",
    // ConfirmEetPayment) and invoiceChanged() follows.
    std::optional<eet::OutboxEntry> registerPayment(const QString& reference,
                                                    const QString& poradCis, qint64 amountHalere,
                                                    const QDateTime& received,
                                                    const QString& invoiceFile = QString());

    // Writes into `invoiceFile` the POKs of its registrations (`eetValue`, its line "Eet=") that
    // the outbox has confirmed while the file still says they wait (a confirmation that came
    // before the invoice was written); invoiceChanged() follows when it wrote one.
    void catchUp(const QString& invoiceFile, const QString& eetValue);

    EetDispatcher& dispatcher() { return *dispatcher_; }
    const eet::EetSettings& settings() const { return settings_; }
    // The last problem that kept the service from sending (no certificate, no password), Czech.
    const QString& problem() const { return problem_; }

signals:
    void changed();
    // The POK of a registration was written into this invoice file.
    void invoiceChanged(const QString& invoiceFile);

private:
    explicit EetService(const QString& programFolder, QObject* parent);
    std::optional<eet::TaxpayerCertificate> certificate(QString* why) const;
    void entrySent(const eet::OutboxEntry& entry);

    QString programFolder_;
    eet::EetSettings settings_;
    EetDispatcher* dispatcher_;
    QString problem_;
    bool started_ = false;
};

} // namespace tarvela
