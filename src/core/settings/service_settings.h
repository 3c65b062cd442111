#pragma once

#include <QByteArray>
#include <QString>

namespace tarvela {

// The addresses of the public services the program asks (the business register ARES and the
// Czech National Bank's daily rates) and the certificates it trusts for their HTTPS, kept in the
// section [SLUZBY] of Tarvela.ini. An absent or empty key means the official address and the
// system's certificates; the program writes none of these keys.
inline constexpr char kServicesSection[] = "SLUZBY";

struct ServiceSettings {
    QString aresUrl; // AdresaARES: the register's address before "/ekonomicke-subjekty-v-be/…"
    QString cnbUrl;  // AdresaCNB: the address of the daily rates file, without "?date=…"
    QByteArray trustedTls; // DuveryhodneTLS: the PEM certificates of the file the key names
};

// Reads the section. A key that is no http(s) address, or a certificate file that cannot be read,
// is larger than 1 MB or holds no certificate, is refused with a ValidationError or FileError
// naming the key and the file.
ServiceSettings LoadServiceSettings(const QString& programFolder);

} // namespace tarvela
