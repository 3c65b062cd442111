#pragma once

#include "eet/eet_answer.h"
#include "eet/eet_certificate.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>

namespace tarvela::eet {

// What EET needs of libcrypto, libxml2, xmlsec1 and the desktop's secret store (QtKeychain) lives
// in the EET module, a shared library beside the program (libTarvelaEet.so) that the program
// loads the first time it checks a message, opens the till certificate, reads an answer or
// touches the stored password: a start without EET never loads those libraries. The program's
// SchemaProblem, ReadAnswer and TaxpayerCertificate forward to it (eet_module_client.cpp); the
// tests, the benchmark and the fuzz target link the same code directly (tarvela_eet_crypto).

// The interface the module gives through its entry point kEetModuleEntry (a function without
// arguments that returns the module's one EetModule). Only the program and its module use it; the
// entry's name changes with the interface, so a module of another build is refused.
class EetModule {
public:
    virtual ~EetModule() = default;
    virtual QString schemaProblem(const QByteArray& elementXml) = 0;
    virtual Answer readAnswer(const QByteArray& body, const QString& expectedUuid,
                              const AnswerTrust& trust, const QDateTime& at) = 0;
    virtual TaxpayerCertificate loadCertificate(const QByteArray& p12, const QString& password) = 0;
    virtual QString eic(const TaxpayerCertificate& certificate) = 0;
    virtual QDateTime validFrom(const TaxpayerCertificate& certificate) = 0;
    virtual QDateTime validUntil(const TaxpayerCertificate& certificate) = 0;
    virtual bool isPlayground(const TaxpayerCertificate& certificate) = 0;
    virtual Expiry expiry(const TaxpayerCertificate& certificate, const QDateTime& now) = 0;
    virtual QString expiryWarning(const TaxpayerCertificate& certificate, const QDateTime& now) = 0;
    virtual QByteArray signedEnvelope(const TaxpayerCertificate& certificate,
                                      const QByteArray& trzbaElement, const QDateTime& now) = 0;
    // The secret store: the text under (service, key) written in the background, or read in the
    // background and handed to `done` from the event loop (empty when the store has none or
    // there is no store).
    virtual void storeSecret(const QString& service, const QString& key, const QString& text) = 0;
    virtual void readSecret(const QString& service, const QString& key,
                            std::function<void(const QString&)> done) = 0;
};
inline constexpr char kEetModuleEntry[] = "TarvelaEetModule1";

// The file name of the module on this platform ("libTarvelaEet.so").
QString EetModuleFileName();

// The module, loaded from the program's folder on the first call; it stays loaded while the
// program runs. Raises TarvelaError (Czech, naming the file) when it cannot be loaded.
EetModule& LoadedEetModule();

} // namespace tarvela::eet
