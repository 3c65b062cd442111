#include "eet/eet_settings.h"

#include "eet/eet_certificate.h"
#include "settings/settings_file.h"
#include "text/errors.h"

#include <QDir>
#include <QFile>

namespace tarvela::eet {

namespace {
const QString kSection = QString::fromLatin1(kSettingsSection);
}

EetSettings LoadEetSettings(const QString& programFolder) {
    const IniFile ini = IniFile::Load(SettingsFilePath(programFolder));
    EetSettings s;
    s.registers = ini.ReadBool(kSection, QStringLiteral("Eviduje"), false);
    s.eic = ini.ReadString(kSection, QStringLiteral("EIC"), QString());
    s.idJednotky = ini.ReadString(kSection, QStringLiteral("IdJednotky"), QString());
    s.idPokl = ini.ReadString(kSection, QStringLiteral("IdPokl"), QString());
    s.playground = ini.ReadString(kSection, QStringLiteral("Prostredi"), QString())
                       .compare(QLatin1String("playground"), Qt::CaseInsensitive) == 0;
    s.timeoutMs = std::max(2000, ini.ReadInteger(kSection, QStringLiteral("Timeout"), 3000));
    s.printPok = ini.ReadBool(kSection, QStringLiteral("TiskPOK"), true);
    s.serviceUrl = ini.ReadString(kSection, QStringLiteral("AdresaSluzby"), QString());
    s.tlsCaFile = ini.ReadString(kSection, QStringLiteral("DuveryhodneTLS"), QString());
    s.signingChainFile = ini.ReadString(kSection, QStringLiteral("DuveryhodnePodpis"), QString());
    return s;
}

void SaveEetSettings(const QString& programFolder, const EetSettings& s) {
    const QString path = SettingsFilePath(programFolder);
    WriteIniInteger(path, kSection, QStringLiteral("Eviduje"), s.registers ? 1 : 0);
    WriteIniString(path, kSection, QStringLiteral("EIC"), s.eic, QStringLiteral("DIČ pro EET"));
    WriteIniString(path, kSection, QStringLiteral("IdJednotky"), s.idJednotky,
                   QStringLiteral("Evidenční jednotka"));
    WriteIniString(path, kSection, QStringLiteral("IdPokl"), s.idPokl, QStringLiteral("Pokladna"));
    WriteIniString(path, kSection, QStringLiteral("Prostredi"),
                   s.playground ? QStringLiteral("playground") : QStringLiteral("ostre"));
    WriteIniInteger(path, kSection, QStringLiteral("Timeout"), std::max(2000, s.timeoutMs));
    WriteIniInteger(path, kSection, QStringLiteral("TiskPOK"), s.printPok ? 1 : 0);
    const IniFile ini = IniFile::Load(path);
    // the addresses and trusted certificates are written only once they differ from the
    // official ones or the file has them already
    const auto optional = [&](const char* key, const QString& value) {
        if (!value.isEmpty() || ini.Value(kSection, QLatin1String(key)))
            WriteIniString(path, kSection, QLatin1String(key), value);
    };
    optional("AdresaSluzby", s.serviceUrl);
    optional("DuveryhodneTLS", s.tlsCaFile);
    optional("DuveryhodnePodpis", s.signingChainFile);
}

QString EetFolder(const QString& programFolder) {
    return QDir(programFolder).filePath(QLatin1String(kFolderName));
}

QString CertificatePath(const QString& programFolder) {
    return QDir(EetFolder(programFolder)).filePath(QLatin1String(kCertificateFileName));
}

QString ImportCertificate(const QString& programFolder, const QString& sourcePath,
                          const QString& password) {
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly) || source.size() > 64 * 1024)
        throw ValidationError(QStringLiteral("Soubor certifikátu „%1“ nelze přečíst.")
                                  .arg(QDir::toNativeSeparators(sourcePath)));
    const QByteArray bytes = source.readAll();
    const QString eic = TaxpayerCertificate::Load(bytes, password).eic(); // refuses a bad one
    QDir().mkpath(EetFolder(programFolder));
    const QString target = CertificatePath(programFolder);
    const QString temporary = target + QStringLiteral(".novy");
    QFile::remove(temporary);
    QFile out(temporary);
    if (!out.open(QIODevice::WriteOnly) ||
        !out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        out.write(bytes) != bytes.size() || !out.flush()) {
        out.remove();
        throw FileError(QStringLiteral("Certifikát nelze uložit do „%1“.")
                            .arg(QDir::toNativeSeparators(target)));
    }
    out.close();
    QFile::remove(target);
    if (!QFile::rename(temporary, target))
        throw FileError(QStringLiteral("Certifikát nelze uložit do „%1“.")
                            .arg(QDir::toNativeSeparators(target)));
    return eic;
}

Sale TillSale(const EetSettings& settings, const QString& eic, const QString& poradCis,
              const QDateTime& received, qint64 totalHalere) {
    Sale sale;
    sale.eicPopl = eic;
    sale.idJednotky = settings.idJednotky;
    sale.idPokl = settings.idPokl;
    sale.poradCis = poradCis;
    sale.received = received;
    sale.totalHalere = totalHalere;
    return sale;
}

} // namespace tarvela::eet
