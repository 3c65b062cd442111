#include "money/invoice_figures.h"
#include "printing/invoice_tax_summary.h"
#include "printing/isdoc_invoice.h"
#include "printing/money.h"
#include "support/printing_fixtures.h"
#include "text/amount_text.h"
#include "text/errors.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <vector>

using namespace tarvela;
using namespace tarvela::test;

namespace {

// Every element's text by its path from the root ("Invoice/TaxTotal/TaxAmount"), in order.
using Paths = QMap<QString, QStringList>;

Paths ReadPaths(const QByteArray& xml) {
    Paths paths;
    QXmlStreamReader reader(xml);
    QStringList stack;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            stack.append(reader.name().toString());
        } else if (reader.isEndElement()) {
            stack.removeLast();
        } else if (reader.isCharacters() && !reader.isWhitespace()) {
            paths[stack.join(QLatin1Char('/'))].append(reader.text().toString());
        }
    }
    EXPECT_FALSE(reader.hasError()) << S(reader.errorString());
    return paths;
}

qint64 Cents(const QString& decimal) {
    return ParseHalere(decimal).value_or(-999999);
}

qint64 Sum(const Paths& p, const QString& path) {
    qint64 sum = 0;
    for (const QString& v : p.value(path))
        sum += Cents(v);
    return sum;
}

qint64 One(const Paths& p, const QString& path) {
    EXPECT_EQ(p.value(path).size(), 1) << S(path);
    return p.value(path).isEmpty() ? 0 : Cents(p.value(path).first());
}

struct Case {
    DocumentKind kind;
    bool payer;
    bool euro;
    int rows;
};

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (const DocumentKind kind : kDocumentKinds) {
        if (!HasIsdoc(kind))
            continue;
        for (const bool payer : {true, false})
            for (const bool euro : {false, true})
                for (const int rows : {1, 25})
                    cases.push_back(Case{kind, payer, euro, rows});
    }
    return cases;
}

AppSettings SettingsOf(const Case& c) {
    AppSettings s = c.payer ? PayerSettings() : NonPayerSettings();
    s.SazbaDPH1 = 21;
    s.SazbaDPH2 = 12;
    s.SazbaDPH3 = 0;
    return s;
}

// The sample customer with `rows` rows cycling through 21 %, 12 % and 0 % (a non-payer's rows
// carry no rate), prices with haléře, a text-only row when there are several.
InvoiceSnapshot InvoiceOf(const Case& c) {
    InvoiceRecord f = SampleInvoice().fields;
    const char* rates[] = {"21", "12", "0"};
    for (int i = 0; i < kItemRowCount; ++i)
        f.Polozky[i] = InvoiceItemRow{};
    for (int i = 0; i < c.rows; ++i) {
        InvoiceItemRow& r = f.Polozky[i];
        r.Kod = QStringLiteral("K%1").arg(i + 1);
        r.Dodavka = QStringLiteral("Položka č. %1 <&> „řez“").arg(i + 1);
        r.MJ = QStringLiteral("ks");
        r.PocetMJ = QString::number(i % 4 + 1) + (i % 3 == 1 ? QStringLiteral(",5") : QString());
        r.Cena =
            QStringLiteral("%1,%2").arg(100 + 37 * i).arg(i * 7 % 100, 2, 10, QLatin1Char('0'));
        r.DPH = c.payer ? QString::fromLatin1(rates[i % 3]) : QStringLiteral("0");
    }
    if (c.rows > 1)
        f.Polozky[c.rows - 1] = Row("", "Poznámka bez ceny", "", "", "", "");
    f.Mena = c.euro ? QStringLiteral("EUR") : QStringLiteral("CZK");
    if (c.euro) {
        f.Kurz = QStringLiteral("24,335");
        f.DatumKurzu = QStringLiteral("5.3.2026");
    }
    if (c.kind == DocumentKind::Dobropis) {
        f.OpravovanyDoklad = QStringLiteral("2026003");
        f.DuvodOpravy = QStringLiteral("Vrácené zboží");
    }
    return SnapshotFromRecord(f, SettingsOf(c));
}

std::string Name(const Case& c) {
    return "kind " + std::to_string(static_cast<int>(c.kind)) +
           (c.payer ? " payer" : " non-payer") + (c.euro ? " EUR " : " CZK ") +
           std::to_string(c.rows) + " rows";
}

QString SchemaPath() {
    return QStringLiteral(TARVELA_ISDOC_DIR "/isdoc-invoice-6.0.2.xsd");
}

} // namespace

TEST(IsdocInvoice, EveryKindValidatesAgainstTheSchema) {
    ASSERT_TRUE(QFile::exists(SchemaPath())) << S(SchemaPath());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList files;
    for (const Case& c : AllCases()) {
        const QString path = dir.filePath(QString::number(files.size()) + QStringLiteral(".isdoc"));
        SaveIsdocInvoice(path, c.kind, InvoiceOf(c), SettingsOf(c));
        files.append(path);
    }
    ASSERT_EQ(files.size(), 5 * 2 * 2 * 2);
    QProcess xmllint;
    xmllint.start(QStringLiteral("xmllint"),
                  QStringList{QStringLiteral("--noout"), QStringLiteral("--schema"), SchemaPath()} +
                      files);
    ASSERT_TRUE(xmllint.waitForFinished(60000));
    EXPECT_EQ(xmllint.exitCode(), 0) << xmllint.readAllStandardError().toStdString();
}

// The rules the schema cannot express, and the figures read back equal the printed ones.
TEST(IsdocInvoice, RulesAndFiguresOfEveryCase) {
    for (const Case& c : AllCases()) {
        SCOPED_TRACE(Name(c));
        const InvoiceSnapshot inv = InvoiceOf(c);
        const AppSettings settings = SettingsOf(c);
        const QByteArray xml = BuildIsdocInvoice(c.kind, inv, settings);
        const Paths p = ReadPaths(xml);
        const QString sub = QStringLiteral("Invoice/TaxTotal/TaxSubTotal/");
        const QString total = QStringLiteral("Invoice/LegalMonetaryTotal/");

        for (const QString& curr : {QString(), QStringLiteral("Curr")}) {
            if (!c.euro && !curr.isEmpty())
                continue;
            EXPECT_EQ(Sum(p, sub + "TaxableAmount" + curr),
                      One(p, total + "TaxExclusiveAmount" + curr));
            EXPECT_EQ(Sum(p, sub + "TaxInclusiveAmount" + curr),
                      One(p, total + "TaxInclusiveAmount" + curr));
            EXPECT_EQ(Sum(p, sub + "TaxAmount" + curr),
                      One(p, "Invoice/TaxTotal/TaxAmount" + curr));
            EXPECT_EQ(Sum(p, sub + "TaxableAmount" + curr) + Sum(p, sub + "TaxAmount" + curr),
                      Sum(p, sub + "TaxInclusiveAmount" + curr));
            EXPECT_EQ(One(p, total + "PayableAmount" + curr),
                      One(p, total + "TaxInclusiveAmount" + curr) +
                          (curr.isEmpty() ? Sum(p, total + "PayableRoundingAmount") : 0));
        }

        // The printed figures are the document currency's: …Curr abroad, the plain ones at home.
        const QString doc = c.euro ? QStringLiteral("Curr") : QString();
        const InvoiceFigures figures = ComputeInvoiceFigures(inv.fields, settings, c.kind);
        EXPECT_EQ(One(p, total + "TaxExclusiveAmount" + doc), figures.Base);
        EXPECT_EQ(One(p, total + "PayableAmount" + doc), figures.Due.Due);
        EXPECT_EQ(One(p, "Invoice/TaxTotal/TaxAmount" + doc), figures.Tax);
        const QStringList percents = p.value(sub + "TaxCategory/Percent");
        const QStringList taxes = p.value(sub + "TaxAmount" + doc);
        ASSERT_EQ(percents.size(), taxes.size());
        for (qsizetype i = 0; i < percents.size(); ++i) {
            EXPECT_EQ(Cents(taxes[i]), figures.rate(percents[i].toInt()).Tax) << S(percents[i]);
        }
        const QStringList lineBases =
            p.value("Invoice/InvoiceLines/InvoiceLine/LineExtensionAmount" + doc);
        ASSERT_EQ(lineBases.size(), c.rows);
        for (int i = 0; i < c.rows; ++i)
            EXPECT_EQ(Cents(lineBases[i]), figures.Rows[static_cast<std::size_t>(i)].Amount) << i;

        // Currency: a foreign document has every amount twice and a rate; a home one none.
        EXPECT_EQ(p.value("Invoice/LocalCurrencyCode"), QStringList{"CZK"});
        if (c.euro) {
            EXPECT_EQ(p.value("Invoice/ForeignCurrencyCode"), QStringList{"EUR"});
            EXPECT_EQ(p.value("Invoice/CurrRate"), QStringList{"24.335"});
            EXPECT_EQ(One(p, total + "TaxExclusiveAmount"),
                      Sum(p, sub + "TaxableAmount")); // converted per rate, summed
        } else {
            EXPECT_FALSE(xml.contains("Curr>")) << "no …Curr element at home";
            EXPECT_FALSE(p.contains("Invoice/ForeignCurrencyCode"));
            EXPECT_EQ(p.value("Invoice/CurrRate"), QStringList{"1"});
        }
        EXPECT_EQ(p.value("Invoice/RefCurrRate"), QStringList{"1"});
        for (auto it = p.begin(); it != p.end(); ++it) {
            if (c.euro &&
                (it.key().endsWith("Amount") || it.key().endsWith("AmountTaxInclusive")) &&
                !it.key().endsWith("LineExtensionTaxAmount") && !it.key().endsWith("PaidAmount")) {
                EXPECT_EQ(p.value(it.key() + "Curr").size(), it.value().size()) << S(it.key());
            }
        }

        // A non-payer's document and all its lines are outside VAT.
        const QString vat = c.payer ? QStringLiteral("true") : QStringLiteral("false");
        EXPECT_EQ(p.value("Invoice/VATApplicable"), QStringList{vat});
        for (const QString& v :
             p.value("Invoice/InvoiceLines/InvoiceLine/ClassifiedTaxCategory/VATApplicable"))
            EXPECT_EQ(v, vat);

        const int type = *IsdocDocumentType(c.kind);
        EXPECT_EQ(p.value("Invoice/DocumentType"), QStringList{QString::number(type)});
        if (type == 2)
            EXPECT_EQ(p.value("Invoice/OriginalDocumentReferences/OriginalDocumentReference/ID"),
                      QStringList{"2026003"});
        else
            EXPECT_FALSE(
                p.contains("Invoice/OriginalDocumentReferences/OriginalDocumentReference/ID"));
    }
}

TEST(IsdocInvoice, KindsAndStableIdentifier) {
    EXPECT_FALSE(HasIsdoc(DocumentKind::DodaciList));
    EXPECT_FALSE(HasIsdoc(DocumentKind::CenovaNabidka));
    EXPECT_THROW(BuildIsdocInvoice(DocumentKind::DodaciList, SampleInvoice(), PayerSettings()),
                 ValidationError);

    const QUuid a = IsdocDocumentUuid("12345678", DocumentKind::Faktura, "2026007");
    EXPECT_EQ(a, IsdocDocumentUuid("12345678", DocumentKind::Faktura, "2026007"));
    EXPECT_EQ(a.version(), QUuid::Sha1);
    EXPECT_NE(a, IsdocDocumentUuid("12345678", DocumentKind::Dobropis, "2026007"));
    EXPECT_NE(a, IsdocDocumentUuid("12345678", DocumentKind::Faktura, "2026008"));
    EXPECT_NE(a, IsdocDocumentUuid("87654321", DocumentKind::Faktura, "2026007"));

    // Re-exporting gives the same bytes, and the identifier is the one in the file.
    const QByteArray once =
        BuildIsdocInvoice(DocumentKind::Faktura, SampleInvoice(), PayerSettings());
    EXPECT_EQ(once, BuildIsdocInvoice(DocumentKind::Faktura, SampleInvoice(), PayerSettings()));
    EXPECT_EQ(ReadPaths(once).value("Invoice/UUID"), QStringList{a.toString(QUuid::WithoutBraces)});
    EXPECT_EQ(IsdocFileName(SampleInvoice().fields), QStringLiteral("2026007.isdoc"));
}

TEST(IsdocInvoice, MissingRequiredDataIsRefusedNamingTheFieldAndNothingIsWritten) {
    struct Missing {
        void (*clear)(InvoiceSnapshot&, AppSettings&);
        DocumentKind kind;
        const char* field;
    };
    const Missing table[] = {
        {[](InvoiceSnapshot&, AppSettings& s) { s.Dodavatel.ICO = "  "; }, DocumentKind::Faktura,
         "IČ dodavatele"},
        {[](InvoiceSnapshot& i, AppSettings&) { i.fields.OdberatelUliceCislo.clear(); },
         DocumentKind::Faktura, "ulice odběratele"},
        {[](InvoiceSnapshot& i, AppSettings&) { i.fields.OdberatelMesto.clear(); },
         DocumentKind::ProformaFaktura, "město odběratele"},
        {[](InvoiceSnapshot& i, AppSettings&) { i.fields.OdberatelPSC.clear(); },
         DocumentKind::PrijmovyDokladSRozpisem, "PSČ odběratele"},
        {[](InvoiceSnapshot&, AppSettings&) {}, DocumentKind::Dobropis, "opravovaný doklad"},
        {[](InvoiceSnapshot& i, AppSettings&) { i.fields.Mena = "EUR"; }, DocumentKind::Faktura,
         "kurz měny EUR"},
        {[](InvoiceSnapshot& i, AppSettings&) {
             i.fields.Mena = "EUR";
             i.fields.Kurz = "x";
         },
         DocumentKind::Faktura, "kurz měny EUR"},
        {[](InvoiceSnapshot& i, AppSettings&) { i.fields.Polozky = {}; },
         DocumentKind::DanovyDoklad, "položky dokladu"},
    };
    QTemporaryDir dir;
    for (const Missing& m : table) {
        SCOPED_TRACE(m.field);
        InvoiceSnapshot inv = SampleInvoice();
        AppSettings settings = PayerSettings();
        m.clear(inv, settings);
        const QString path = dir.filePath("refused.isdoc");
        try {
            SaveIsdocInvoice(path, m.kind, inv, settings);
            ADD_FAILURE() << "not refused";
        } catch (const ValidationError& e) {
            EXPECT_TRUE(e.message().startsWith("Doklad nelze uložit jako ISDOC, chybí: "))
                << S(e.message());
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(m.field))) << S(e.message());
        }
        EXPECT_FALSE(QFile::exists(path));
    }

    // A non-payer charges no tax, whatever the rate cells say.
    const Paths nonPayer =
        ReadPaths(BuildIsdocInvoice(DocumentKind::Faktura, SampleInvoice(), NonPayerSettings()));
    EXPECT_EQ(nonPayer.value("Invoice/TaxTotal/TaxAmount"), QStringList{"0.00"});
    EXPECT_EQ(nonPayer.value("Invoice/LegalMonetaryTotal/PayableAmount"), QStringList{"400.00"});
}

// The tax document of a received payment is dated by the payment and asks for nothing; the
// currency is read as the print reads it; a control character is refused naming its field.
TEST(IsdocInvoice, ReceivedPaymentCurrencyAndControlCharacters) {
    const Case c{DocumentKind::DanovyDoklad, true, false, 1};
    InvoiceSnapshot inv = InvoiceOf(c);
    inv.fields.DatumUhrady = QStringLiteral("9.3.2026");
    for (const DocumentKind kind : {DocumentKind::DanovyDoklad, DocumentKind::Faktura}) {
        SCOPED_TRACE(static_cast<int>(kind));
        const Paths p = ReadPaths(BuildIsdocInvoice(kind, inv, SettingsOf(c)));
        const bool received = kind == DocumentKind::DanovyDoklad;
        EXPECT_EQ(p.value("Invoice/TaxPointDate"),
                  QStringList{received ? "2026-03-09" : "2026-03-05"});
        EXPECT_EQ(p.contains("Invoice/PaymentMeans/Payment/Details/PaymentDueDate"), !received);
        EXPECT_EQ(p.value("Invoice/PaymentMeans/Payment/PaidAmount").size(), 1);
    }

    const struct {
        const char* typed;
        const char* foreign; // ForeignCurrencyCode, or "" for none
        bool refused;
    } currencies[] = {
        {"Kč", "", false},
        {"czk", "", false},
        {"eur", "EUR", false},
        {"XYZ", "", true},
    };
    for (const auto& m : currencies) {
        SCOPED_TRACE(m.typed);
        inv.fields.Mena = QString::fromUtf8(m.typed);
        inv.fields.Kurz = QStringLiteral("25,125");
        if (m.refused) {
            EXPECT_THROW(BuildIsdocInvoice(DocumentKind::Faktura, inv, SettingsOf(c)),
                         ValidationError);
            continue;
        }
        const Paths p = ReadPaths(BuildIsdocInvoice(DocumentKind::Faktura, inv, SettingsOf(c)));
        EXPECT_EQ(p.value("Invoice/ForeignCurrencyCode").join(QString()),
                  QString::fromUtf8(m.foreign));
    }

    inv.fields.Mena = QStringLiteral("CZK");
    inv.fields.Polozky[0].Dodavka += QChar(0x01);
    try {
        BuildIsdocInvoice(DocumentKind::Faktura, inv, SettingsOf(c));
        ADD_FAILURE() << "written";
    } catch (const ValidationError& e) {
        EXPECT_TRUE(e.message().startsWith("Pole „Položka 1 - Označení dodávky“ obsahuje řídicí "
                                           "znak (U+0001)"))
            << S(e.message());
    }
}
