#include "eet/eet_answer.h"
#include "support/eet_test_pki.h"

#include <QFile>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace tarvela;
using namespace tarvela::eet;

namespace {

QByteArray TestData(const char* name) {
    QFile file(QStringLiteral(TARVELA_EET_TEST_DATA "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(std::string("missing ") + name);
    return file.readAll();
}

const QString kPlaygroundUuid = QStringLiteral("b3a09b52-7c87-4014-a496-7fe261250984");
// The playground answer was received at this moment, within its signer's validity.
const QDateTime kPlaygroundReceived(QDate(2026, 9, 26), QTime(20, 10, 18),
                                    QTimeZone("Europe/Prague"));

AnswerTrust Playground() {
    AnswerTrust trust;
    trust.chainPem = BundledSigningChain();
    trust.production = false;
    return trust;
}

AnswerTrust TestChain(bool production) {
    AnswerTrust trust;
    trust.chainPem = test::EetPkiFile(QStringLiteral("signing-chain.pem"));
    trust.production = production;
    return trust;
}

const QString kUuid = QStringLiteral("6a5d7a3c-1f2e-4b7a-9c1d-0123456789ab");

QByteArray Confirmation(const QString& uuid, const QByteArray& pokAndTest,
                        const QByteArray& warnings = QByteArray()) {
    return "<eet:Odpoved><eet:Hlavicka uuid_zpravy=\"" + uuid.toLatin1() +
           "\" dat_prij=\"2027-01-08T21:19:41+01:00\"/><eet:Potvrzeni " + pokAndTest + "/>" +
           warnings + "</eet:Odpoved>";
}

QByteArray Unsigned(const QByteArray& odpoved) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soapenv:Envelope "
           "xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:eet=\"http://fs.gov.cz/eet/schema/v4\"><soapenv:Body>" +
           odpoved + "</soapenv:Body></soapenv:Envelope>";
}

const QByteArray kProductionPok = "pok=\"2feb2e70-a642-4188-a6e6-986a62bc9598-01\"";

} // namespace

TEST(EetAnswer, TheRealPlaygroundConfirmationVerifiesAgainstTheBundledChain) {
    const Answer answer = ReadAnswer(TestData("playground-confirmation.xml"), kPlaygroundUuid,
                                     Playground(), kPlaygroundReceived);
    EXPECT_EQ(answer.outcome, Outcome::Confirmed) << answer.message.toStdString();
    EXPECT_EQ(answer.pok, QStringLiteral("2feb2e70-a642-4188-a6e6-986a62bc9598-ff"));
    EXPECT_TRUE(answer.test);
}

TEST(EetAnswer, TheTamperedPlaygroundConfirmationDoesNot) {
    const Answer answer = ReadAnswer(TestData("playground-confirmation-tampered.xml"),
                                     kPlaygroundUuid, Playground(), kPlaygroundReceived);
    EXPECT_EQ(answer.outcome, Outcome::Temporary);
    EXPECT_EQ(answer.pok, QString());
    EXPECT_TRUE(answer.message.contains(QStringLiteral("nelze věřit")))
        << answer.message.toStdString();
}

TEST(EetAnswer, ThePlaygroundConfirmationIsRefusedInProductionAndForAnotherMessage) {
    AnswerTrust production = Playground();
    production.production = true;
    const QByteArray real = TestData("playground-confirmation.xml");
    EXPECT_EQ(ReadAnswer(real, kPlaygroundUuid, production, kPlaygroundReceived).outcome,
              Outcome::Temporary);
    EXPECT_EQ(ReadAnswer(real, kUuid, Playground(), kPlaygroundReceived).outcome,
              Outcome::Temporary);
    // outside its signer's validity the chain does not hold
    EXPECT_EQ(
        ReadAnswer(real, kPlaygroundUuid, Playground(), kPlaygroundReceived.addYears(2)).outcome,
        Outcome::Temporary);
}

TEST(EetAnswer, SignedConfirmationsAreTrustedOnlyFromTheExpectedSigner) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QByteArray good = test::SignedServiceAnswer(Confirmation(kUuid, kProductionPok));
    const Answer answer = ReadAnswer(good, kUuid, TestChain(true), now);
    EXPECT_EQ(answer.outcome, Outcome::Confirmed) << answer.message.toStdString();
    EXPECT_EQ(answer.pok, QStringLiteral("2feb2e70-a642-4188-a6e6-986a62bc9598-01"));
    EXPECT_FALSE(answer.test);

    const struct {
        QByteArray body;
        AnswerTrust trust;
        const char* why;
    } refused[] = {
        {test::SignedServiceAnswer(Confirmation(kUuid, kProductionPok), QStringLiteral("foreign")),
         TestChain(true), "wrong signer"},
        {good, Playground(), "chain not trusted"},
        {QByteArray(good).replace("986a62bc9598-01", "986a62bc9598-02"), TestChain(true),
         "bad signature"},
        {Unsigned(Confirmation(kUuid, kProductionPok)), TestChain(true), "unsigned"},
        {test::SignedServiceAnswer(Confirmation(
             kUuid, kProductionPok.left(kProductionPok.size() - 3) + "ff\" test=\"true\"")),
         TestChain(true), "test answer in production"},
        {test::SignedServiceAnswer(
             Confirmation(QStringLiteral("0a5d7a3c-1f2e-4b7a-9c1d-0123456789ab"), kProductionPok)),
         TestChain(true), "another message"},
    };
    for (const auto& r : refused) {
        const Answer a = ReadAnswer(r.body, kUuid, r.trust, now);
        EXPECT_EQ(a.outcome, Outcome::Temporary) << r.why;
        EXPECT_EQ(a.pok, QString()) << r.why;
        EXPECT_FALSE(a.message.isEmpty()) << r.why;
    }
}

TEST(EetAnswer, WarningsAreKeptAndExplained) {
    const QByteArray body = test::SignedServiceAnswer(Confirmation(
        kUuid, kProductionPok,
        "<eet:Varovani kod_varov=\"4\">Datum a cas prijeti trzby je novejsi</eet:Varovani>"
        "<eet:Varovani kod_varov=\"6\">id_jednotky</eet:Varovani>"));
    const Answer answer = ReadAnswer(body, kUuid, TestChain(true), QDateTime::currentDateTimeUtc());
    ASSERT_EQ(answer.outcome, Outcome::Confirmed) << answer.message.toStdString();
    ASSERT_EQ(answer.warnings.size(), 2);
    EXPECT_EQ(answer.warnings[0].first, 4);
    EXPECT_EQ(answer.warnings[1].first, 6);
    EXPECT_TRUE(answer.message.contains(WarningMessage(4)));
    EXPECT_TRUE(answer.message.contains(WarningMessage(6)));
}

TEST(EetAnswer, ErrorCodesAreFinalTemporaryOrAVerification) {
    const struct {
        int code;
        Outcome outcome;
    } cases[] = {{0, Outcome::Verified}, {-1, Outcome::Temporary}, {2, Outcome::Final},
                 {3, Outcome::Final},    {4, Outcome::Final},      {5, Outcome::Final},
                 {6, Outcome::Final},    {7, Outcome::Final},      {8, Outcome::Final},
                 {999, Outcome::Final},  {-2, Outcome::Final}};
    for (const auto& c : cases) {
        const QByteArray body =
            Unsigned("<eet:Odpoved><eet:Hlavicka uuid_zpravy=\"" + kUuid.toLatin1() +
                     "\" dat_odmit=\"2027-01-08T21:19:41+01:00\"/><eet:Chyba kod=\"" +
                     QByteArray::number(c.code) + "\">Chyba</eet:Chyba></eet:Odpoved>");
        const Answer a = ReadAnswer(body, kUuid, TestChain(true), QDateTime::currentDateTimeUtc());
        EXPECT_EQ(a.outcome, c.outcome) << c.code;
        EXPECT_EQ(a.code, c.code);
        EXPECT_EQ(a.message, ErrorCodeMessage(c.code));
        EXPECT_FALSE(a.message.isEmpty());
    }
}

TEST(EetAnswer, WhateverIsNotAnAnswerLeavesThePaymentWaiting) {
    const QByteArray cases[] = {
        QByteArray(),
        "<html>500 Internal Server Error</html>",
        "<?xml version=\"1.0\"?><soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/"
        "soap/envelope/\"><soapenv:Body><soapenv:Fault><faultcode>soapenv:Server</faultcode>"
        "<faultstring>Internal</faultstring></soapenv:Fault></soapenv:Body></soapenv:Envelope>",
        Unsigned("<eet:Odpoved><eet:Hlavicka/></eet:Odpoved>"),
        Unsigned(
            "<eet:Odpoved><eet:Hlavicka uuid_zpravy=\"x\"/><eet:Chyba kod=\"3\"/></eet:Odpoved>"),
        QByteArray(kMaxAnswerBytes + 1, ' '),
        Unsigned(Confirmation(kUuid, kProductionPok)).left(200),
    };
    for (const QByteArray& body : cases) {
        const Answer a = ReadAnswer(body, kUuid, TestChain(true), QDateTime::currentDateTimeUtc());
        EXPECT_EQ(a.outcome, Outcome::Temporary) << body.left(80).toStdString();
        EXPECT_FALSE(a.message.isEmpty());
    }
}
