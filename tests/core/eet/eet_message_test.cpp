#include "eet/eet_certificate.h"
#include "eet/eet_message.h"
#include "eet/eet_settings.h"
#include "support/eet_test_pki.h"
#include "text/errors.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace tarvela;
using namespace tarvela::eet;

namespace {

Sale SampleSale() {
    Sale sale;
    sale.eicPopl = QStringLiteral("CZ00000019");
    sale.idJednotky = QStringLiteral("181");
    sale.idPokl = QStringLiteral("00/2535/CN58");
    sale.poradCis = QStringLiteral("0/2482/IE25");
    sale.received = QDateTime(QDate(2027, 1, 7), QTime(22, 1), QTimeZone("Europe/Prague"));
    sale.totalHalere = 8798800;
    return sale;
}

QByteArray SampleTrzba(const Sale& sale) {
    Header header;
    header.uuid = NewMessageUuid();
    header.sent = sale.received.addSecs(5);
    return TrzbaElement(header, DataAttributes(sale));
}

} // namespace

TEST(EetMessage, AmountsAreCrownsWithADotAndTwoDecimals) {
    const struct {
        qint64 halere;
        const char* text;
    } cases[] = {{8798800, "87988.00"},
                 {0, "0.00"},
                 {5, "0.05"},
                 {-5, "-0.05"},
                 {-100, "-1.00"},
                 {123456, "1234.56"},
                 {9999999999, "99999999.99"},
                 {-9999999999, "-99999999.99"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatAmount(c.halere), QLatin1String(c.text)) << c.halere;
    EXPECT_THROW(FormatAmount(10000000000), ValidationError);
    EXPECT_THROW(FormatAmount(-10000000000), ValidationError);
}

TEST(EetMessage, EveryAmountInRangeMeetsTheServiceMaskAndReadsBack) {
    static const QRegularExpression mask(
        QStringLiteral("^((0|-?[1-9]\\d{0,7})\\.\\d\\d|-0\\.(0[1-9]|[1-9]\\d))$"));
    QRandomGenerator random(29);
    for (int i = 0; i < 2000; ++i) {
        qint64 limit = 10;
        for (int digits = int(random.bounded(10)); digits > 0; --digits)
            limit *= 10;
        qint64 halere = random.bounded(qint64(0), limit);
        if (random.bounded(2))
            halere = -halere;
        const QString text = FormatAmount(halere);
        ASSERT_TRUE(mask.match(text).hasMatch()) << text.toStdString();
        const QStringList parts = text.split(QLatin1Char('.'));
        const qint64 crowns = parts[0].toLongLong();
        const qint64 back = (parts[0].startsWith(QLatin1Char('-')) ? -1 : 1) *
                            ((crowns < 0 ? -crowns : crowns) * 100 + parts[1].toLongLong());
        ASSERT_EQ(back, halere) << text.toStdString();
    }
}

TEST(EetMessage, MomentsArePragueTimeWithTheOffsetAndNoFraction) {
    const QTimeZone prague("Europe/Prague");
    const struct {
        QDateTime moment;
        const char* text;
    } cases[] = {
        {QDateTime(QDate(2027, 1, 8), QTime(21, 19, 40, 999), prague), "2027-01-08T21:19:40+01:00"},
        {QDateTime(QDate(2027, 7, 1), QTime(8, 0), prague), "2027-07-01T08:00:00+02:00"},
        {QDateTime(QDate(2027, 1, 8), QTime(23, 30), Qt::UTC), "2027-01-09T00:30:00+01:00"},
        // the change to summer time: 02:00 CET becomes 03:00 CEST
        {QDateTime(QDate(2027, 3, 28), QTime(0, 59, 59), Qt::UTC), "2027-03-28T01:59:59+01:00"},
        {QDateTime(QDate(2027, 3, 28), QTime(1, 0), Qt::UTC), "2027-03-28T03:00:00+02:00"},
        // and back: 03:00 CEST becomes 02:00 CET, the hour is lived twice
        {QDateTime(QDate(2027, 10, 31), QTime(0, 30), Qt::UTC), "2027-10-31T02:30:00+02:00"},
        {QDateTime(QDate(2027, 10, 31), QTime(1, 30), Qt::UTC), "2027-10-31T02:30:00+01:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatMoment(c.moment), QLatin1String(c.text)) << c.text;
}

TEST(EetMessage, DataAttributesInTheServiceOrderAndOptionalOnesOmitted) {
    Sale sale = SampleSale();
    EXPECT_EQ(DataAttributes(sale),
              "eic_popl=\"CZ00000019\" id_jednotky=\"181\" id_pokl=\"00/2535/CN58\" "
              "porad_cis=\"0/2482/IE25\" dat_trzby=\"2027-01-07T22:01:00+01:00\" "
              "celk_trzba=\"87988.00\"");
    sale.eicPoverujiciho = QStringLiteral("CZ683555118");
    sale.urcenoCerpZuct = 34300;
    sale.cerpZuct = -23700;
    const QByteArray all = DataAttributes(sale);
    EXPECT_TRUE(all.contains("eic_popl=\"CZ00000019\" eic_poverujiciho=\"CZ683555118\" "));
    EXPECT_TRUE(all.endsWith("celk_trzba=\"87988.00\" urceno_cerp_zuct=\"343.00\" "
                             "cerp_zuct=\"-237.00\""));
    EXPECT_EQ(SchemaProblem(SampleTrzba(sale)), QString());
}

TEST(EetMessage, ValuesTheServiceRefusesAreRefusedNamingTheField) {
    const struct {
        void (*change)(Sale&);
        const char* field;
    } cases[] = {
        {[](Sale& s) { s.eicPopl = QStringLiteral("CZ123"); }, "eic_popl"},
        {[](Sale& s) { s.eicPopl = QStringLiteral("SK00000019"); }, "eic_popl"},
        {[](Sale& s) { s.eicPoverujiciho = QStringLiteral("CZ"); }, "eic_poverujiciho"},
        {[](Sale& s) { s.idJednotky = QStringLiteral("0181"); }, "id_jednotky"},
        {[](Sale& s) { s.idJednotky = QStringLiteral("1234567890"); }, "id_jednotky"},
        {[](Sale& s) { s.idPokl = QStringLiteral("Pokladna č. 1"); }, "id_pokl"},
        {[](Sale& s) { s.idPokl = QString(); }, "id_pokl"},
        {[](Sale& s) { s.idPokl = QString(21, QLatin1Char('A')); }, "id_pokl"},
        {[](Sale& s) { s.poradCis = QStringLiteral("2027\"0001"); }, "porad_cis"},
        {[](Sale& s) { s.poradCis = QString(26, QLatin1Char('1')); }, "porad_cis"},
        {[](Sale& s) { s.received = QDateTime(); }, "dat_trzby"},
    };
    for (const auto& c : cases) {
        Sale sale = SampleSale();
        c.change(sale);
        try {
            DataAttributes(sale);
            ADD_FAILURE() << "accepted a bad " << c.field;
        } catch (const ValidationError& e) {
            EXPECT_TRUE(e.message().contains(QLatin1String(c.field))) << e.what();
        }
    }
}

TEST(EetMessage, TheSchemaAcceptsBuiltMessagesAndRefusesOthers) {
    Sale sale = SampleSale();
    const QByteArray good = SampleTrzba(sale);
    EXPECT_EQ(SchemaProblem(good), QString());
    QByteArray withoutCode = good;
    withoutCode.replace("id_jednotky=\"181\" ", "");
    EXPECT_NE(SchemaProblem(withoutCode), QString());
    QByteArray withFraction = good;
    withFraction.replace("22:01:00+01:00", "22:01:00.5+01:00");
    EXPECT_NE(SchemaProblem(withFraction), QString());
    QByteArray withOldItem = good;
    withOldItem.replace("<v4:Data ", "<v4:Data rezim=\"0\" ");
    EXPECT_NE(SchemaProblem(withOldItem), QString());
}

TEST(EetCertificate, ReadsThePortalsLegacyFileAndKnowsItsTaxpayer) {
    const TaxpayerCertificate cert = TaxpayerCertificate::Load(
        test::EetPkiFile(QStringLiteral("taxpayer.p12")), QStringLiteral("eet"));
    EXPECT_EQ(cert.eic(), QStringLiteral("CZ00000019"));
    EXPECT_TRUE(cert.isPlayground());
    const QDateTime now = QDateTime::currentDateTimeUtc();
    EXPECT_EQ(cert.expiry(now), Expiry::Valid);
    EXPECT_EQ(cert.expiryWarning(now), QString());
    EXPECT_EQ(cert.expiry(cert.validUntil().addDays(-30)), Expiry::ExpiresSoon);
    EXPECT_EQ(cert.expiry(cert.validUntil().addDays(-31)), Expiry::Valid);
    EXPECT_TRUE(
        cert.expiryWarning(cert.validUntil().addDays(-3)).contains(QStringLiteral("platí jen do")));
    EXPECT_EQ(cert.expiry(cert.validUntil()), Expiry::Expired);
}

TEST(EetCertificate, AWrongPasswordOrFileIsRefusedInCzech) {
    const QByteArray p12 = test::EetPkiFile(QStringLiteral("taxpayer.p12"));
    try {
        TaxpayerCertificate::Load(p12, QStringLiteral("nope"));
        ADD_FAILURE() << "a wrong password opened the file";
    } catch (const ValidationError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("heslo"))) << e.what();
    }
    EXPECT_THROW(TaxpayerCertificate::Load(QByteArray("not a p12"), QStringLiteral("eet")),
                 ValidationError);
    EXPECT_THROW(TaxpayerCertificate::Load(p12.left(p12.size() / 2), QStringLiteral("eet")),
                 ValidationError);
}

TEST(EetCertificate, AnExpiredCertificateSignsNothing) {
    const TaxpayerCertificate cert = TaxpayerCertificate::Load(
        test::EetPkiFile(QStringLiteral("expired.p12")), QStringLiteral("eet"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    EXPECT_EQ(cert.expiry(now), Expiry::Expired);
    try {
        cert.signedEnvelope(SampleTrzba(SampleSale()), now);
        ADD_FAILURE() << "signed with an expired certificate";
    } catch (const ValidationError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("vypršel"))) << e.what();
    }
}

TEST(EetCertificate, TheSignedEnvelopeVerifiesWithXmlsecAndSignsOnlyTheBody) {
    const TaxpayerCertificate cert = TaxpayerCertificate::Load(
        test::EetPkiFile(QStringLiteral("taxpayer.p12")), QStringLiteral("eet"));
    const QByteArray trzba = SampleTrzba(SampleSale());
    const QByteArray envelope = cert.signedEnvelope(trzba, QDateTime::currentDateTimeUtc());
    EXPECT_TRUE(envelope.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_LT(envelope.size(), 12 * 1024);
    EXPECT_EQ(envelope.count("<ds:Reference "), 1);
    EXPECT_TRUE(envelope.contains("xml-exc-c14n#"));
    EXPECT_TRUE(envelope.contains("xmldsig-more#rsa-sha256"));
    QString log;
    EXPECT_TRUE(test::XmlsecVerifiesRequest(envelope, &log)) << log.toStdString();
    QByteArray changed = envelope;
    changed.replace("celk_trzba=\"87988.00\"", "celk_trzba=\"87989.00\"");
    ASSERT_NE(changed, envelope);
    EXPECT_FALSE(test::XmlsecVerifiesRequest(changed));
    // a message the schema refuses is not signed
    QByteArray bad = trzba;
    bad.replace("id_jednotky=\"181\"", "id_jednotky=\"0\"");
    EXPECT_THROW(cert.signedEnvelope(bad, QDateTime::currentDateTimeUtc()), ValidationError);
}

TEST(EetSettingsFile, KeysReadBackAndThePasswordIsNeverWritten) {
    QTemporaryDir dir;
    EXPECT_EQ(eet::LoadEetSettings(dir.path()), eet::EetSettings());
    eet::EetSettings s;
    s.registers = true;
    s.eic = QStringLiteral("CZ00000019");
    s.idJednotky = QStringLiteral("181");
    s.idPokl = QStringLiteral("Pokladna 1");
    s.playground = true;
    s.timeoutMs = 5000;
    s.printPok = false;
    s.serviceUrl = QStringLiteral("https://127.0.0.1:1/v4");
    eet::SaveEetSettings(dir.path(), s);
    EXPECT_EQ(eet::LoadEetSettings(dir.path()), s);
    s.timeoutMs = 500; // below the least the service allows
    eet::SaveEetSettings(dir.path(), s);
    EXPECT_EQ(eet::LoadEetSettings(dir.path()).timeoutMs, 2000);

    const QString p12 = test::EetPki() + QStringLiteral("/taxpayer.p12");
    EXPECT_THROW(eet::ImportCertificate(dir.path(), p12, QStringLiteral("bad")), ValidationError);
    EXPECT_FALSE(QFile::exists(eet::CertificatePath(dir.path())));
    EXPECT_EQ(eet::ImportCertificate(dir.path(), p12, QStringLiteral("eet")),
              QStringLiteral("CZ00000019"));
    const QFileInfo copied(eet::CertificatePath(dir.path()));
    EXPECT_TRUE(copied.permissions() & QFileDevice::ReadOwner);
    EXPECT_FALSE(copied.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                         QFileDevice::ReadOther | QFileDevice::WriteOther));
    QFile ini(dir.filePath(QStringLiteral("Tarvela.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray bytes = ini.readAll();
    EXPECT_TRUE(bytes.contains("[EET]"));
    EXPECT_FALSE(bytes.contains("eet\r")); // the password
    EXPECT_FALSE(bytes.toLower().contains("heslo"));
}
