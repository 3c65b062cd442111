#include "eet/eet_service.h"

#include "eet/eet_password.h"
#include "invoice/invoice_eet.h"
#include "text/errors.h"
#include "text/message_boxes.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>

namespace tarvela {

EetService& EetService::Of(const QString& programFolder) {
    static QHash<QString, EetService*> services;
    EetService*& service = services[programFolder];
    if (!service)
        service = new EetService(programFolder, QCoreApplication::instance());
    return *service;
}

EetService::EetService(const QString& programFolder, QObject* parent)
    : QObject(parent), programFolder_(programFolder),
      dispatcher_(new EetDispatcher(
          eet::EetFolder(programFolder), [this](QString* why) { return certificate(why); }, this)) {
    connect(dispatcher_, &EetDispatcher::entryChanged, this, &EetService::changed);
    ConnectGuarded(dispatcher_, &EetDispatcher::entryChanged, this,
                   [this](const eet::OutboxEntry& entry) { entrySent(entry); });
    connect(dispatcher_, &EetDispatcher::roundFinished, this, &EetService::changed);
    ConnectGuarded(dispatcher_, &EetDispatcher::problem, this, [this](const QString& message) {
        problem_ = message;
        emit changed();
    });
}

std::optional<eet::TaxpayerCertificate> EetService::certificate(QString* why) const {
    QFile file(eet::CertificatePath(programFolder_));
    if (!file.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("Certifikát pro EET není vybrán (Nástroje – Konfigurace – EET). "
                              "Tržby čekají na odeslání.");
        return std::nullopt;
    }
    const QString password = EetPassword::Known(programFolder_);
    if (password.isEmpty()) {
        *why = QStringLiteral("Heslo k certifikátu pro EET není zadáno (Nástroje – Konfigurace "
                              "– EET). Tržby čekají na odeslání.");
        return std::nullopt;
    }
    try {
        return eet::TaxpayerCertificate::Load(file.readAll(), password);
    } catch (const TarvelaError& e) {
        *why = e.message();
        return std::nullopt;
    }
}

void EetService::entrySent(const eet::OutboxEntry& entry) {
    if (entry.state != eet::OutboxEntry::State::Confirmed || entry.file.isEmpty())
        return;
    if (ConfirmEetPayment(entry.file, entry.id, entry.pok, entry.testPok))
        emit invoiceChanged(entry.file);
}

void EetService::catchUp(const QString& invoiceFile, const QString& eetValue) {
    bool written = false;
    for (const EetPayment& payment : ReadEetPayments(eetValue)) {
        if (!payment.pok.isEmpty())
            continue;
        const std::optional<eet::OutboxEntry> entry = dispatcher_->outbox().find(payment.entryId);
        if (entry && entry->state == eet::OutboxEntry::State::Confirmed)
            written |= ConfirmEetPayment(invoiceFile, entry->id, entry->pok, entry->testPok);
    }
    if (written)
        emit invoiceChanged(invoiceFile);
}

void EetService::start() {
    started_ = true;
    settings_ = eet::LoadEetSettings(programFolder_);
    problem_.clear();
    if (!settings_.registers)
        return;
    try {
        dispatcher_->setConnection(EetConnectionFor(settings_));
    } catch (const TarvelaError& e) {
        problem_ = e.message();
        emit changed();
        return;
    }
    if (EetPassword::Known(programFolder_).isEmpty()) {
        EetPassword::Read(programFolder_, [this](const QString&) { dispatcher_->start(); });
        return;
    }
    dispatcher_->start();
}

std::optional<eet::OutboxEntry>
EetService::registerPayment(const QString& reference, const QString& poradCis, qint64 amountHalere,
                            const QDateTime& received, const QString& invoiceFile) {
    // A payment recorded before the window started the service, or after the settings changed
    // elsewhere, is registered with the settings as they are.
    if (!started_ || eet::LoadEetSettings(programFolder_) != settings_)
        start();
    if (!settings_.registers)
        return std::nullopt;
    // The EIČ noted when the certificate was chosen: a payment is registered even while the
    // certificate cannot be opened (no password yet) and waits to be signed.
    const QByteArray data = eet::DataAttributes(
        eet::TillSale(settings_, settings_.eic, poradCis, received, amountHalere));
    const eet::OutboxEntry entry =
        dispatcher_->outbox().add(data, reference, amountHalere, settings_.playground,
                                  QDateTime::currentDateTimeUtc(), invoiceFile);
    emit changed();
    dispatcher_->sendNow();
    return entry;
}

} // namespace tarvela
