#pragma once

#include "eet/eet_message.h"

#include <QString>

#include <optional>

namespace tarvela::eet {

// The section of Tarvela.ini with the EET settings. The certificate's password is never kept
// there: it lives in the desktop's secret store.
inline constexpr char kSettingsSection[] = "EET";
// Where the outbox and the certificate live, beneath the program folder.
inline constexpr char kFolderName[] = "EET";
inline constexpr char kCertificateFileName[] = "certifikat.p12";

struct EetSettings {
    bool registers = false; // Eviduje: the supplier registers sales (off: "nepodléhá")
    // EIC: the taxpayer's EIČ, the certificate's common name, noted when the certificate is
    // chosen, so that a payment is registered without opening the certificate
    QString eic;
    QString idJednotky;       // IdJednotky: the evidence unit from the tax portal
    QString idPokl;           // IdPokl: the till
    bool playground = false;  // Prostredi=playground, otherwise the production service
    int timeoutMs = 3000;     // Timeout (ms): at least 2000
    bool printPok = true;     // TiskPOK: print the POK on receipts
    QString serviceUrl;       // AdresaSluzby: empty for the official address
    QString tlsCaFile;        // DuveryhodneTLS: PEM of trusted TLS roots; empty: the system's
    QString signingChainFile; // DuveryhodnePodpis: PEM of the answers' signer chain; empty:
                              // the bundled I.CA chain

    friend bool operator==(const EetSettings&, const EetSettings&) = default;
};

// Reads section "EET" of the settings file; missing keys take the defaults, a timeout below
// 2 s is raised to 2 s.
EetSettings LoadEetSettings(const QString& programFolder);
// Writes the keys of section "EET" (values checked as the settings file does).
void SaveEetSettings(const QString& programFolder, const EetSettings& settings);

// <program folder>/EET
QString EetFolder(const QString& programFolder);
// <program folder>/EET/certifikat.p12
QString CertificatePath(const QString& programFolder);
// Copies the chosen .p12 into the program folder, readable by the owner only, and returns the
// certificate's EIČ. The file must open with `password` (TaxpayerCertificate::Load); otherwise
// ValidationError and nothing is copied. FileError when it cannot be written.
QString ImportCertificate(const QString& programFolder, const QString& sourcePath,
                          const QString& password);

// A sale of the supplier's till: the EIČ from the certificate, the unit and till from the
// settings.
Sale TillSale(const EetSettings& settings, const QString& eic, const QString& poradCis,
              const QDateTime& received, qint64 totalHalere);

} // namespace tarvela::eet
