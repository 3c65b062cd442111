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
    // sends it in the background. `poradCis` must be unique on the till. Returns the entry;
    // raises ValidationError / FileError when it cannot be registered. Nothing (and no entry)
    // when the supplier does not register.
    std::optional<eet::OutboxEntry> registerPayment(const QString& reference,
                                                    const QString& poradCis, qint64 amountHalere,
                                                    const QDateTime& received);

    EetDispatcher& dispatcher() { return *dispatcher_; }
    const eet::EetSettings& settings() const { return settings_; }
    // The last problem that kept the service from sending (no certificate, no password), Czech.
    const QString& problem() const { return problem_; }

signals:
    void changed();

private:
    explicit EetService(const QString& programFolder, QObject* parent);
    std::optional<eet::TaxpayerCertificate> certificate(QString* why) const;

    QString programFolder_;
    eet::EetSettings settings_;
    EetDispatcher* dispatcher_;
    QString problem_;
};

} // namespace tarvela
