// The EET module (eet_module.h): libTarvelaEet.so beside the program, the one part of it that
// links libcrypto, libxml2, xmlsec1 and QtKeychain. It holds the message check, the certificate
// and signer, the answer's check, and the secret store's jobs.
#include "eet/eet_module.h"

#include "eet/eet_message.h"

#include <qt6keychain/keychain.h>

namespace tarvela::eet {
namespace {

class Module final : public EetModule {
public:
    QString schemaProblem(const QByteArray& elementXml) override {
        return SchemaProblem(elementXml);
    }
    Answer readAnswer(const QByteArray& body, const QString& expectedUuid, const AnswerTrust& trust,
                      const QDateTime& at) override {
        return ReadAnswer(body, expectedUuid, trust, at);
    }
    TaxpayerCertificate loadCertificate(const QByteArray& p12, const QString& password) override {
        return TaxpayerCertificate::Load(p12, password);
    }
    QString eic(const TaxpayerCertificate& c) override { return c.eic(); }
    QDateTime validFrom(const TaxpayerCertificate& c) override { return c.validFrom(); }
    QDateTime validUntil(const TaxpayerCertificate& c) override { return c.validUntil(); }
    bool isPlayground(const TaxpayerCertificate& c) override { return c.isPlayground(); }
    Expiry expiry(const TaxpayerCertificate& c, const QDateTime& now) override {
        return c.expiry(now);
    }
    QString expiryWarning(const TaxpayerCertificate& c, const QDateTime& now) override {
        return c.expiryWarning(now);
    }
    QByteArray signedEnvelope(const TaxpayerCertificate& c, const QByteArray& trzbaElement,
                              const QDateTime& now) override {
        return c.signedEnvelope(trzbaElement, now);
    }

    void storeSecret(const QString& service, const QString& key, const QString& text) override {
        auto* job = new QKeychain::WritePasswordJob(service);
        job->setAutoDelete(true);
        job->setInsecureFallback(false);
        job->setKey(key);
        job->setTextData(text);
        job->start();
    }
    void readSecret(const QString& service, const QString& key,
                    std::function<void(const QString&)> done) override {
        auto* job = new QKeychain::ReadPasswordJob(service);
        job->setAutoDelete(true);
        job->setInsecureFallback(false);
        job->setKey(key);
        QObject::connect(job, &QKeychain::Job::finished, job, [done](QKeychain::Job* j) {
            QString text;
            if (j->error() == QKeychain::NoError)
                text = static_cast<QKeychain::ReadPasswordJob*>(j)->textData();
            done(text); // the program's handler, which guards itself
        });
        job->start();
    }
};

} // namespace
} // namespace tarvela::eet

extern "C" Q_DECL_EXPORT tarvela::eet::EetModule* TarvelaEetModule1() {
    static tarvela::eet::Module module;
    return &module;
}
