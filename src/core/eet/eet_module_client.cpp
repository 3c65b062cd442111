// The program's side of the EET module (eet_module.h): loading it, and the functions that
// forward to it.
#include "eet/eet_module.h"

#include "eet/eet_message.h"
#include "text/errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace tarvela::eet {

QString EetModuleFileName() {
#if defined(Q_OS_WIN)
    return QStringLiteral("TarvelaEet.dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("libTarvelaEet.dylib");
#else
    return QStringLiteral("libTarvelaEet.so");
#endif
}

EetModule& LoadedEetModule() {
    static EetModule* module = nullptr;
    // The library stays loaded while the program runs, and its handle with it.
    static QLibrary* library = nullptr;
    if (module != nullptr)
        return *module;
    const QString path = QCoreApplication::applicationDirPath() + u'/' + EetModuleFileName();
    library = new QLibrary(path);
    if (!library->load()) {
        const QString error = library->errorString();
        delete library;
        library = nullptr;
        throw TarvelaError(QStringLiteral("Modul EET programu (%1) se nepodařilo načíst: %2. "
                                          "Program je třeba znovu nainstalovat.")
                               .arg(QDir::toNativeSeparators(path), error));
    }
    using Entry = EetModule* (*)();
    auto entry = reinterpret_cast<Entry>(library->resolve(kEetModuleEntry));
    if (entry == nullptr) {
        library->unload();
        delete library;
        library = nullptr;
        throw TarvelaError(QStringLiteral("Modul EET programu (%1) je poškozený. Program je "
                                          "třeba znovu nainstalovat.")
                               .arg(QDir::toNativeSeparators(path)));
    }
    module = entry(); // the library stays loaded: its objects live on in the program
    return *module;
}

QString SchemaProblem(const QByteArray& elementXml) {
    return LoadedEetModule().schemaProblem(elementXml);
}

Answer ReadAnswer(const QByteArray& body, const QString& expectedUuid, const AnswerTrust& trust,
                  const QDateTime& at) {
    return LoadedEetModule().readAnswer(body, expectedUuid, trust, at);
}

TaxpayerCertificate TaxpayerCertificate::Load(const QByteArray& p12, const QString& password) {
    return LoadedEetModule().loadCertificate(p12, password);
}

// The certificate's data is the module's; copying and destroying it runs the module's code
// through the shared pointer.
TaxpayerCertificate::TaxpayerCertificate(const TaxpayerCertificate&) = default;
TaxpayerCertificate& TaxpayerCertificate::operator=(const TaxpayerCertificate&) = default;
TaxpayerCertificate::~TaxpayerCertificate() = default;

QString TaxpayerCertificate::eic() const {
    return LoadedEetModule().eic(*this);
}
QDateTime TaxpayerCertificate::validFrom() const {
    return LoadedEetModule().validFrom(*this);
}
QDateTime TaxpayerCertificate::validUntil() const {
    return LoadedEetModule().validUntil(*this);
}
bool TaxpayerCertificate::isPlayground() const {
    return LoadedEetModule().isPlayground(*this);
}
Expiry TaxpayerCertificate::expiry(const QDateTime& now) const {
    return LoadedEetModule().expiry(*this, now);
}
QString TaxpayerCertificate::expiryWarning(const QDateTime& now) const {
    return LoadedEetModule().expiryWarning(*this, now);
}
QByteArray TaxpayerCertificate::signedEnvelope(const QByteArray& trzbaElement,
                                               const QDateTime& now) const {
    return LoadedEetModule().signedEnvelope(*this, trzbaElement, now);
}

} // namespace tarvela::eet
