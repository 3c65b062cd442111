// The services' addresses and trusted certificates as Tarvela.ini keeps them: absent keys are the
// official services, and what cannot be an address or a certificate file is refused by name.
#include "settings/service_settings.h"
#include "settings/settings_file.h"
#include "support/test_support.h"
#include "text/errors.h"

#include <gtest/gtest.h>

namespace tarvela {
namespace {

using namespace Qt::StringLiterals;

const QByteArray kPem = "-----BEGIN CERTIFICATE-----\nMIIB\n-----END CERTIFICATE-----\n";

TEST(ServiceSettings, KeysAreTakenOrRefusedByName) {
    const struct {
        const char* ares;
        const char* cnb;
        const char* tls;
        const char* refusal; // empty: taken
    } cases[] = {
        {"", "", "", ""},
        {"http://127.0.0.1:8080", "https://example.test/kurzy.txt", "ca.pem", ""},
        {" https://ares.example ", "", "", ""},
        {"ftp://ares.example", "", "", "AdresaARES"},
        {"", "kurzy.txt", "", "AdresaCNB"},
        {"", "https://", "", "AdresaCNB"},
        {"", "", "chybi.pem", "nelze přečíst"},
        {"", "", "Tarvela.ini", "neobsahuje žádný certifikát"},
        {"", "", "velky.pem", "větší než 1 MB"},
    };
    for (const auto& c : cases) {
        test::TempProgramFolder folder;
        folder.writeBytes(u"ca.pem"_s, kPem);
        folder.writeBytes(u"velky.pem"_s, kPem + QByteArray(1 << 20, 'x'));
        const QString ini = SettingsFilePath(folder.path());
        const QString section = QLatin1String(kServicesSection);
        WriteIniString(ini, section, u"AdresaARES"_s, QString::fromUtf8(c.ares));
        WriteIniString(ini, section, u"AdresaCNB"_s, QString::fromUtf8(c.cnb));
        WriteIniString(ini, section, u"DuveryhodneTLS"_s, QString::fromUtf8(c.tls));
        try {
            const ServiceSettings s = LoadServiceSettings(folder.path());
            EXPECT_STREQ(c.refusal, "") << c.ares << c.cnb << c.tls;
            EXPECT_EQ(s.aresUrl, QString::fromUtf8(c.ares).trimmed());
            EXPECT_EQ(s.cnbUrl, QString::fromUtf8(c.cnb));
            EXPECT_EQ(s.trustedTls, *c.tls ? kPem : QByteArray());
        } catch (const TarvelaError& e) {
            EXPECT_TRUE(*c.refusal && e.message().contains(QString::fromUtf8(c.refusal)))
                << c.ares << c.cnb << c.tls << " -> " << e.message().toStdString();
        }
    }
}

} // namespace
} // namespace tarvela
