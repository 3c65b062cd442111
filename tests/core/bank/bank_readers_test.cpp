#include "bank/bank_statement.h"

#include "statement_fixtures.h"
#include "support/test_support.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace tarvela {
namespace {

using test::CamtEntry;
using test::CamtEntryXml;
using test::CamtStatement;
using test::GpcHeader;
using test::GpcItem;
using test::GpcItemLine;

QByteArray Lines(const QList<QByteArray>& lines, const QByteArray& end = "\r\n") {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + end;
    return out;
}

QString Refusal(const QByteArray& bytes, const QString& name = QStringLiteral("vypis.gpc")) {
    try {
        ReadStatementBytes(bytes, name);
    } catch (const StatementError& e) {
        return e.message();
    }
    return QStringLiteral("(přečteno)");
}

TEST(GpcReader, ReadsEveryFieldOfEachBanksHeaderVariant) {
    struct Variant {
        const char* bank;
        QByteArray header;
        QByteArray end;
    };
    const Variant variants[] = {
        {"signs +", GpcHeader("2000145399", QStringLiteral("Pekařství Novák")), "\r\n"},
        {"signs 0", GpcHeader("0000192000145399", QStringLiteral("NOVAK"), '0'), "\r\n"},
        {"filler cut, LF", GpcHeader("2000145399", QStringLiteral("Novák"), '+', true), "\n"},
    };
    GpcItem incoming;
    GpcItem fee;
    fee.counterAccount = "0";
    fee.code = '1';
    fee.symbol = "0";
    fee.bank = "0000";
    fee.reference = 0;
    fee.halere = 9900;
    fee.name = QStringLiteral("Poplatek za vedení");
    GpcItem euro;
    euro.currency = "0978";
    euro.symbol = "0";
    euro.halere = 5;
    euro.counterAccount = "0000350000000017";
    euro.bank = "2010";
    GpcItem out;
    out.code = '1';
    out.counterAccount = "1234567890";
    GpcItem interest;
    interest.code = '2';
    interest.counterAccount = "0";
    interest.bank = "0000";
    interest.name = QStringLiteral("Připsaný úrok");
    for (const Variant& v : variants) {
        const QByteArray bytes =
            Lines({v.header, GpcItemLine(incoming),
                   "078Faktura 2026001 duben" + QByteArray(20, ' '), "079dekujeme",
                   GpcItemLine(fee), GpcItemLine(euro), GpcItemLine(out), GpcItemLine(interest)},
                  v.end) +
            "\x1A";
        const BankStatement s = ReadStatementBytes(bytes, QStringLiteral("x.gpc"));
        SCOPED_TRACE(v.bank);
        EXPECT_EQ(s.Format, "GPC");
        ASSERT_EQ(s.Platby.size(), 5u);
        const BankPayment& p = s.Platby[0];
        EXPECT_EQ(p.Datum, QDate(2026, 3, 5));
        EXPECT_EQ(p.Halere, 121000);
        EXPECT_EQ(p.Mena, "CZK");
        EXPECT_EQ(p.Ucet,
                  v.header.mid(3, 16).startsWith("0000192") ? "19-2000145399" : "2000145399");
        EXPECT_EQ(p.Protiucet, "19-123457/0800");
        EXPECT_EQ(p.Symbol, "2026001");
        EXPECT_EQ(p.Nazev, QString::fromUtf8("Řeznictví Šťastný"));
        EXPECT_EQ(p.Zprava, "Faktura 2026001 duben dekujeme");
        EXPECT_EQ(p.Reference, "1234567");
        EXPECT_EQ(p.Druh, PaymentKind::Incoming);
        EXPECT_EQ(p.Radek, 2);
        EXPECT_EQ(s.Platby[1].Druh, PaymentKind::Fee);
        EXPECT_EQ(s.Platby[1].Protiucet, "");
        EXPECT_EQ(s.Platby[1].Symbol, "");
        EXPECT_EQ(s.Platby[1].Reference, "");
        EXPECT_EQ(s.Platby[1].Halere, 9900);
        EXPECT_EQ(s.Platby[2].Mena, "EUR");
        EXPECT_EQ(s.Platby[2].Halere, 5);
        EXPECT_EQ(s.Platby[2].Protiucet, "35-17/2010");
        EXPECT_EQ(s.Platby[3].Druh, PaymentKind::Outgoing);
        EXPECT_EQ(s.Platby[4].Druh, PaymentKind::Interest);
    }
}

TEST(GpcReader, RefusesWhatIsNotAStatementNamingFileAndLine) {
    const QByteArray header = GpcHeader("2000145399", QStringLiteral("Novák"));
    GpcItem item;
    const QByteArray good = GpcItemLine(item);
    QByteArray letterInAmount = good;
    letterInAmount[55] = 'x';
    QByteArray badDate = good;
    badDate.replace(122, 6, "310226");
    QByteArray badCode = good;
    badCode[60] = '9';
    QByteArray badCurrency = good;
    badCurrency.replace(118, 4, "0999");
    // the same record saved in UTF-8: the name's accented letters take two bytes each
    const QByteArray utf8 =
        good.left(97) + QStringLiteral("Řeznictví Šťastný   ").toUtf8() + good.mid(117);
    struct Case {
        QByteArray bytes;
        const char* expected;
    };
    const Case cases[] = {
        {Lines({header, good.left(127)}), "řádek 2: záznam má 127 znaků, má jich mít 128"},
        {Lines({header, good + "x"}), "řádek 2: záznam má 129 znaků, smí mít nejvýše 128"},
        {Lines({header, letterInAmount}), "řádek 2: pole „částka“ (pozice 49 až 60) není číslo"},
        {Lines({header, badDate}), "řádek 2: pole „datum zaúčtování“ není platné datum"},
        {Lines({header, badCode}), "řádek 2: neznámý kód účtování „9“"},
        {Lines({header, badCurrency}), "řádek 2: neznámý kód měny „0999“"},
        {Lines({header, utf8}), "řádek 2: výpis je uložen v UTF-8"},
        {Lines({header, "\x81" + good.mid(1)}), "řádek 2: řádek není v kódové stránce"},
        {Lines({header, good.left(20) + '\t' + good.mid(21)}),
         "řádek 2: řádek obsahuje řídicí znak"},
        {Lines({header, "", "076text"}), "řádek 3: doplňující záznam bez položky"},
        {Lines({good}), "řádek 1: položka výpisu (záznam 075) před záhlavím"},
        {Lines({header, "099" + good.mid(3)}), "řádek 2: neznámý druh záznamu „099“"},
        {Lines({header.left(100)}), "řádek 1: záhlaví výpisu má 100 znaků"},
        {"074", "řádek 1: záhlaví výpisu má 3 znaků"},
        {"ahoj", "není výpis z banky ve formátu GPC (ABO) ani CAMT.053"},
    };
    for (const Case& c : cases) {
        const QString message = Refusal(c.bytes);
        EXPECT_TRUE(message.startsWith(QStringLiteral("Výpis „vypis.gpc“")) ||
                    message.startsWith(QStringLiteral("Soubor „vypis.gpc“")))
            << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.expected))) << message.toStdString();
    }
}

TEST(CamtReader, ReadsEveryFieldIn00102And00108) {
    CamtEntry incoming;
    CamtEntry structured; // the symbol as the creditor's reference, a domestic account number
    structured.endToEnd = QStringLiteral("NOTPROVIDED");
    structured.creditorRef = QStringLiteral("VS:0002026002");
    structured.iban.clear();
    structured.otherAccount = QStringLiteral("19-2000145399");
    structured.bank = QStringLiteral("0800");
    structured.amount = QStringLiteral("5");
    structured.reference = QStringLiteral("REF-0002");
    CamtEntry foreign; // no symbol at all, EUR, one decimal
    foreign.endToEnd = QStringLiteral("NOTPROVIDED");
    foreign.currency = QStringLiteral("EUR");
    foreign.amount = QStringLiteral("99.5");
    foreign.iban = QStringLiteral("DE89370400440532013000");
    foreign.message = QStringLiteral("Invoice 2026003 &amp; thanks");
    foreign.reference = QStringLiteral("REF-0003");
    CamtEntry fee;
    fee.direction = QStringLiteral("DBIT");
    fee.family = QStringLiteral("MDOP");
    fee.subFamily = QStringLiteral("CHRG");
    fee.amount = QStringLiteral("99.00");
    fee.reference = QStringLiteral("REF-0004");
    CamtEntry interest = fee;
    interest.direction = QStringLiteral("CRDT");
    interest.subFamily = QStringLiteral("INTR");
    CamtEntry out = incoming;
    out.direction = QStringLiteral("DBIT");
    for (const int version : {2, 8}) {
        SCOPED_TRACE(version);
        const BankStatement s = ReadStatementBytes(
            CamtStatement(CamtEntryXml(incoming, version) + CamtEntryXml(structured, version) +
                              CamtEntryXml(foreign, version) + CamtEntryXml(fee, version) +
                              CamtEntryXml(interest, version) + CamtEntryXml(out, version),
                          version),
            QStringLiteral("x.xml"));
        EXPECT_EQ(s.Format, "CAMT.053");
        ASSERT_EQ(s.Platby.size(), 6u);
        const BankPayment& p = s.Platby[0];
        EXPECT_EQ(p.Datum, QDate(2026, 3, 5));
        EXPECT_EQ(p.Halere, 121000);
        EXPECT_EQ(p.Mena, "CZK");
        EXPECT_EQ(p.Ucet, "CZ5503000000000123456789");
        EXPECT_EQ(p.Protiucet, "CZ6508000000192000145399");
        EXPECT_EQ(p.Nazev, QString::fromUtf8("Řeznictví Šťastný"));
        EXPECT_EQ(p.Symbol, "2026001");
        EXPECT_EQ(p.Zprava, "Faktura 2026001");
        EXPECT_EQ(p.Reference, "REF-0001");
        EXPECT_EQ(p.Druh, PaymentKind::Incoming);
        EXPECT_EQ(p.Radek, 4);
        EXPECT_EQ(s.Platby[1].Symbol, "2026002");
        EXPECT_EQ(s.Platby[1].Protiucet, "19-2000145399/0800");
        EXPECT_EQ(s.Platby[1].Halere, 500);
        EXPECT_EQ(s.Platby[2].Symbol, "");
        EXPECT_EQ(s.Platby[2].Mena, "EUR");
        EXPECT_EQ(s.Platby[2].Halere, 9950);
        EXPECT_EQ(s.Platby[2].Zprava, "Invoice 2026003 & thanks");
        EXPECT_EQ(s.Platby[3].Druh, PaymentKind::Fee);
        EXPECT_EQ(s.Platby[4].Druh, PaymentKind::Interest);
        EXPECT_EQ(s.Platby[5].Druh, PaymentKind::Outgoing);
    }
}

TEST(CamtReader, RefusesEntitiesDtdsAndBadAmountsNamingTheElement) {
    CamtEntry decimals;
    decimals.amount = QStringLiteral("10.005");
    CamtEntry negative;
    negative.amount = QStringLiteral("-10.00");
    CamtEntry direction;
    direction.direction = QStringLiteral("XXXX");
    CamtEntry date;
    date.booked = QStringLiteral("2026-02-30");
    const QString ok = CamtEntryXml(CamtEntry{}, 2);
    struct Case {
        QByteArray bytes;
        const char* expected;
    };
    const Case cases[] = {
        {CamtStatement(CamtEntryXml(decimals, 2)), "prvek Document/BkToCstmrStmt/Stmt/Ntry/Amt "
                                                   "(řádek 5): částka „10.005“ má víc než dvě"},
        {CamtStatement(CamtEntryXml(negative, 2)),
         "Ntry/Amt (řádek 5): částka „-10.00“ není číslo"},
        {CamtStatement(CamtEntryXml(direction, 2)), "Ntry/CdtDbtInd (řádek 5): směr „XXXX“"},
        {CamtStatement(CamtEntryXml(date, 2)), "Ntry/BookgDt/Dt (řádek 5): datum „2026-02-30“"},
        {CamtStatement(ok, 2,
                       QStringLiteral("<!DOCTYPE Document [<!ENTITY x SYSTEM "
                                      "\"http://127.0.0.1:1/x\">]>\n")),
         "deklaraci typu dokumentu (DTD)"},
        {CamtStatement(ok, 2,
                       QStringLiteral("<!DOCTYPE Document [<!ENTITY a \"aaaaaaaaaa\">"
                                      "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>\n")),
         "deklaraci typu dokumentu (DTD)"},
        {CamtStatement(QString(ok).replace(QStringLiteral("Faktura"), QStringLiteral("&x;"))),
         "není platné XML"},
        {CamtStatement(ok, 1), "není výpis CAMT.053 verze 001.02 nebo novější"},
        {CamtStatement(ok).replace("camt.053", "camt.054"), "není výpis CAMT.053"},
        {CamtStatement(ok).left(600), "není platné XML"},
        {CamtStatement(
             QString(ok).replace(QStringLiteral("<Amt Ccy=\"CZK\">1210.00</Amt>"), QString())),
         "Ntry/Amt (řádek 5): položka nemá částku"},
        {CamtStatement(QString(ok).replace(QStringLiteral("1210.00"), QStringLiteral("<b>1</b>"))),
         "Ntry/Amt (řádek 4): prvek má obsahovat jen text"},
        {CamtStatement(QStringLiteral("<x>").repeated(60) + QStringLiteral("</x>").repeated(60)),
         "prvky jsou vnořeny příliš hluboko"},
    };
    for (const Case& c : cases) {
        const QString message = Refusal(c.bytes, QStringLiteral("vypis.xml"));
        EXPECT_TRUE(message.startsWith(QStringLiteral("Výpis „vypis.xml“")))
            << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.expected))) << message.toStdString();
    }
}

TEST(StatementFile, ALargeFileIsRefusedUnreadAndIdentitiesDiffer) {
    test::TempProgramFolder folder;
    QFile big(folder.file("velky.gpc"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(qint64(50) << 20)); // sparse: 50 MB without writing them
    big.close();
    try {
        ReadStatementFile(folder.file("velky.gpc"));
        ADD_FAILURE() << "a 50 MB statement was read";
    } catch (const StatementError& e) {
        EXPECT_EQ(e.message(), QString::fromUtf8("Výpis „velky.gpc“ je větší než 32 MB; takový "
                                                 "soubor program nečte."));
    }
    EXPECT_THROW(ReadStatementFile(folder.file("zadny.gpc")), StatementError);

    // Identities: the bank's reference wins; without one every field counts.
    BankPayment a;
    a.Ucet = QStringLiteral("2000145399");
    a.Datum = QDate(2026, 3, 5);
    a.Halere = 100;
    a.Mena = QStringLiteral("CZK");
    BankPayment b = a;
    b.Symbol = QStringLiteral("1");
    EXPECT_NE(PaymentIdentity(a), PaymentIdentity(b));
    a.Reference = b.Reference = QStringLiteral("R 1|\t");
    EXPECT_EQ(PaymentIdentity(a), PaymentIdentity(b));
    for (const QChar c : PaymentIdentity(a))
        EXPECT_TRUE(c.unicode() > 32 && c.unicode() < 127 && c != u'\t')
            << PaymentIdentity(a).toStdString();
}

TEST(StatementReaders, RandomBytesAreReadOrRefusedNeverAnythingElse) {
    // Random mutations of a good statement: each either reads or is refused with a message
    // naming the file; a statement that reads has sane fields.
    const QByteArray gpc = Lines({GpcHeader("2000145399", QStringLiteral("Novák")),
                                  GpcItemLine(GpcItem{}), GpcItemLine(GpcItem{})});
    const QByteArray camt =
        CamtStatement(CamtEntryXml(CamtEntry{}, 2) + CamtEntryXml(CamtEntry{}, 2));
    QRandomGenerator random(30);
    for (const QByteArray& base : {gpc, camt}) {
        for (int round = 0; round < 400; ++round) {
            QByteArray bytes = base;
            for (int k = 0; k < 3; ++k)
                bytes[random.bounded(static_cast<int>(bytes.size()))] =
                    static_cast<char>(random.bounded(256));
            try {
                const BankStatement s = ReadStatementBytes(bytes, QStringLiteral("v"));
                for (const BankPayment& p : s.Platby) {
                    EXPECT_GE(p.Halere, 0);
                    EXPECT_TRUE(p.Datum.isValid());
                    EXPECT_EQ(p.Mena.size(), 3);
                    EXPECT_LE(p.Symbol.size(), 10);
                }
            } catch (const StatementError& e) {
                EXPECT_TRUE(e.message().contains(QStringLiteral("„v“")))
                    << e.message().toStdString();
            }
        }
    }
}

} // namespace
} // namespace tarvela
