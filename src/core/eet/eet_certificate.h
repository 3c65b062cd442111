#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>

namespace tarvela::eet {

// How far the certificate is from its end.
enum class Expiry {
    Valid,       // more than 30 days left
    ExpiresSoon, // 30 days or fewer left: the user is warned
    Expired,     // past its end (or not yet valid): nothing is signed with it
};

// The till certificate (pokladní certifikát) from the tax portal: a .p12 file holding the
// taxpayer's key and certificate, its certificate bag encrypted with RC2-40.
class TaxpayerCertificate {
public:
    // Reads the file's bytes with the password. A wrong password, a damaged file or one without
    // a key raise ValidationError with a Czech message.
    static TaxpayerCertificate Load(const QByteArray& p12, const QString& password);

    TaxpayerCertificate(const TaxpayerCertificate&);
    TaxpayerCertificate& operator=(const TaxpayerCertificate&);
    ~TaxpayerCertificate();

    // The certificate's common name: the taxpayer's EIČ ("CZ00000019").
    QString eic() const;
    QDateTime validFrom() const;
    QDateTime validUntil() const;
    // True for a certificate of the playground (its policy 1.2.203.19122063.10.4.…).
    bool isPlayground() const;
    Expiry expiry(const QDateTime& now) const;
    // A Czech sentence for the user when the certificate expires soon or has expired; empty
    // otherwise.
    QString expiryWarning(const QDateTime& now) const;

    // The whole SOAP envelope of one sending: the Body holding `trzbaElement`, signed (RSA-SHA256,
    // exclusive canonicalisation, only the Body), with this certificate as the
    // BinarySecurityToken. An expired certificate, or a Trzba that fails the schema, raise
    // ValidationError and nothing is signed.
    QByteArray signedEnvelope(const QByteArray& trzbaElement, const QDateTime& now) const;

    struct Data;

private:
    explicit TaxpayerCertificate(std::shared_ptr<const Data> data);
    std::shared_ptr<const Data> d_;
};

} // namespace tarvela::eet
