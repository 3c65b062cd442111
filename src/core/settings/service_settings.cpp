#include "settings/service_settings.h"

#include "settings/settings_file.h"
#include "text/errors.h"

#include <QDir>
#include <QFile>
#include <QUrl>

namespace tarvela {

namespace {

constexpr qint64 kMaxCertificateFileBytes = qint64(1) << 20;

QString Address(const IniFile& ini, const char* key) {
    const QString value =
        ini.ReadString(QLatin1String(kServicesSection), QLatin1String(key), QString()).trimmed();
    if (value.isEmpty())
        return value;
    const QUrl url(value, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
        throw ValidationError(
            QStringLiteral("Adresa služby %1 v souboru Tarvela.ini (sekce [%2]) "
                           "není adresa http nebo https: „%3“.")
                .arg(QLatin1String(key), QLatin1String(kServicesSection), value.left(200)));
    return value;
}

QByteArray Certificates(const QString& programFolder, const IniFile& ini) {
    const QString name =
        ini.ReadString(QLatin1String(kServicesSection), QStringLiteral("DuveryhodneTLS"), QString())
            .trimmed();
    if (name.isEmpty())
        return {};
    const QString path = QDir(programFolder).absoluteFilePath(name);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        throw FileError(QStringLiteral("Soubor důvěryhodných certifikátů „%1“ (DuveryhodneTLS v "
                                       "souboru Tarvela.ini) nelze přečíst.")
                            .arg(QDir::toNativeSeparators(path)));
    const QByteArray pem = file.read(kMaxCertificateFileBytes + 1);
    if (pem.size() > kMaxCertificateFileBytes || !pem.contains("-----BEGIN CERTIFICATE-----"))
        throw FileError(QStringLiteral("Soubor důvěryhodných certifikátů „%1“ (DuveryhodneTLS v "
                                       "souboru Tarvela.ini) %2.")
                            .arg(QDir::toNativeSeparators(path),
                                 pem.size() > kMaxCertificateFileBytes
                                     ? QStringLiteral("je větší než 1 MB")
                                     : QStringLiteral("neobsahuje žádný certifikát PEM")));
    return pem;
}

} // namespace

ServiceSettings LoadServiceSettings(const QString& programFolder) {
    const IniFile ini = IniFile::Load(SettingsFilePath(programFolder));
    ServiceSettings s;
    s.aresUrl = Address(ini, "AdresaARES");
    s.cnbUrl = Address(ini, "AdresaCNB");
    s.trustedTls = Certificates(programFolder, ini);
    return s;
}

} // namespace tarvela
