// Every invoice document rendered through the real print module and read back as an accountant
// reads it: pdftotext for the words and figures, zbarimg for the payment code. The table runs
// over the kinds, payer and non-payer, crowns and euros, cash and transfer.
#include "editor/row_amounts.h"
#include "money/invoice_figures.h"
#include "printing/cash_receipt.h"
#include "printing/document_rules.h"
#include "printing/invoice_documents.h"
#include "printing/module_data_set.h"
#include "printing/money.h"
#include "printing/report_data_set.h"
#include "prm1_test_support.h"
#include "support/printing_fixtures.h"
#include "support/spayd_validator.h"
#include "support/test_support.h"

#include <QRegularExpression>
#include <QTest>

using namespace tarvela;
using namespace tarvela::test;

namespace {

AppSettings Settings(bool payer) {
    AppSettings s = PayerSettings();
    s.Platce = payer;
    s.SazbaDPH2 = 12;
    s.SazbaDPH3 = 0;
    s.PoznamkaOsvobozeni = QStringLiteral("Osvobozeno od daně podle § 51 zákona o DPH.");
    return s;
}

// Rows at 21 %, 12 % and 0 %, the payment message and, for a credit note, a return.
InvoiceSnapshot Invoice(DocumentKind kind, bool euro, bool cash, const AppSettings& settings) {
    InvoiceSnapshot inv = SampleInvoice();
    InvoiceRecord& f = inv.fields;
    f.Polozky = {};
    f.Polozky[0] = Row("A1", "Oprava stolu", "ks", "1,5", "12,505", "21");
    f.Polozky[1] = Row("msg", "Úhrada objednávky 15", "", "", "", "");
    f.Polozky[2] = Row("B7", "Lak", "l", "2", "1812,50", "12");
    f.Polozky[3] = Row("C3", "Kniha", "ks", "1", "698,25", "0");
    if (kind == DocumentKind::Dobropis)
        for (const int i : {0, 2, 3})
            f.Polozky[static_cast<std::size_t>(i)].PocetMJ.prepend(QLatin1Char('-'));
    f.Cislo = QStringLiteral("2026042");
    f.Symbol = QStringLiteral("2026042");
    f.FormaUhrady = cash ? QStringLiteral("H") : QStringLiteral("PP");
    f.Mena = euro ? QStringLiteral("EUR") : settings.VychoziMena;
    f.Kurz = euro ? QStringLiteral("25,125") : QString();
    f.DatumKurzu = euro ? QStringLiteral("4.3.2026") : QString();
    f.DatumUhrady = QStringLiteral("9.3.2026");
    f.OpravovanyDoklad = QStringLiteral("2026017");
    f.DuvodOpravy = QStringLiteral("Vrácení vadného zboží");
    return inv;
}

} // namespace

class DocumentsPdfTest : public QObject {
    Q_OBJECT
private slots:
    void kindsSayWhatTheyMust_data();
    void kindsSayWhatTheyMust();
    void receiptsSayWhatTheAmountAllows_data();
    void receiptsSayWhatTheAmountAllows();
};

void DocumentsPdfTest::kindsSayWhatTheyMust_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("payer");
    QTest::addColumn<bool>("euro");
    QTest::addColumn<bool>("cash");
    for (const DocumentKind kind : kDocumentKinds)
        for (const bool payer : {true, false})
            for (const auto& [euro, cash] : {std::pair{false, false}, {false, true}, {true, false}})
                QTest::addRow("%d %s %s %s", static_cast<int>(kind), payer ? "plátce" : "neplátce",
                              euro ? "EUR" : "CZK", cash ? "H" : "PP")
                    << static_cast<int>(kind) << payer << euro << cash;
}

void DocumentsPdfTest::kindsSayWhatTheyMust() {
    QFETCH(int, kind);
    QFETCH(bool, payer);
    QFETCH(bool, euro);
    QFETCH(bool, cash);
    const auto k = static_cast<DocumentKind>(kind);
    const AppSettings settings = Settings(payer);
    const InvoiceSnapshot invoice = Invoice(k, euro, cash, settings);

    const PrintVariables variables = InvoiceDocumentVariables(k, invoice, settings);
    ReportDataSet items;
    FillInvoiceItems(items, k, invoice);
    const ModuleDataSet set(items);
    TempProgramFolder folder;
    const QString pdf = folder.file(QStringLiteral("doklad.pdf"));
    LoadedModule module;
    QString message;
    const QString templateName = DocumentTemplate(k).section(QLatin1Char('/'), 1);
    QVERIFY2(module.renderPdf(templateName, DocumentReportTitle(k, payer, invoice.fields.Cislo),
                              variables.text(), set.get(), pdf, &message) >= 1,
             qPrintable(message));
    const QString text = PdfText(pdf).simplified();
    const auto has = [&](const QString& t) { return text.contains(t); };
    const auto must = [&](const char* t) {
        QVERIFY2(has(QString::fromUtf8(t)),
                 qPrintable(QStringLiteral("missing: ") + t + " in " + text));
    };
    const auto never = [&](const char* t) {
        QVERIFY2(!has(QString::fromUtf8(t)), qPrintable(QStringLiteral("printed: ") + t));
    };

    // The item rows, never the payment message's row.
    must("Oprava stolu");
    never("msg");
    const bool withPrices = k != DocumentKind::DodaciList;
    const bool taxDocument = IsTaxDocument(k, settings);

    if (withPrices && payer) {
        // The recap: the window's own figures, 0 % included, and the tax in all.
        must("Cena MJ bez DPH");
        const InvoiceFigures figures = ComputeInvoiceFigures(invoice.fields, settings, k);
        for (const qint64 halere : {figures.Base, figures.SlotTax[1], figures.SlotTax[2]}) {
            const QString figure = FormatHalere(halere);
            QVERIFY2(has(figure), qPrintable(figure));
        }
        must("Celkem DPH");
        // The 0 % line with its base and no tax. The page shows "0 %", but pdftotext joins the
        // narrow gap after a lone "0" into "0%", so the space is optional here.
        const QRegularExpression zeroLine(QStringLiteral("(^| )0 ?% %1 0,00 ")
                                              .arg(k == DocumentKind::Dobropis
                                                       ? QStringLiteral("-698,25")
                                                       : QStringLiteral("698,25")));
        QVERIFY2(text.contains(zeroLine), qPrintable(zeroLine.pattern()));
        if (taxDocument)
            must("Osvobozeno od daně podle § 51 zákona o DPH.");
        if (taxDocument && euro) {
            must("DPH v CZK");
            must("25,125 CZK ke dni 4.3.2026");
        }
    }
    if (!payer) {
        never("DPH v CZK");
        never("Osvobozeno");
    }
    if (withPrices && k != DocumentKind::CenovaNabidka)
        must(cash ? "Hotově" : "Převodním příkazem");
    if (withPrices && cash && !euro && k != DocumentKind::CenovaNabidka)
        must("Zaokrouhlení");
    if (euro)
        never("Zaokrouhlení");

    switch (k) {
    case DocumentKind::ProformaFaktura:
        must("Nejedná se o daňový doklad");
        must("Záloha k úhradě");
        never("zdanitelného");
        never("Celkem k úhradě");
        break;
    case DocumentKind::DanovyDoklad:
        must("Datum přijetí úplaty: 9.3.2026");
        must("Přijatá úplata");
        never("Celkem k úhradě");
        never("splatnosti"); // the payment has been received
        break;
    case DocumentKind::Dobropis:
        must(payer ? "Opravný daňový doklad" : "Opravný doklad");
        must("Opravovaný doklad: 2026017");
        must("Důvod opravy: Vrácení vadného zboží");
        must("K vrácení");
        never("Celkem k úhradě");
        never("-7709");
        break;
    case DocumentKind::Faktura:
        must("Datum splatnosti: 20.3.2026");
        must("Celkem k úhradě");
        must(payer ? "Datum zdanitelného plnění:" : "Datum plnění:");
        must("Variabilní symbol:");
        break;
    case DocumentKind::PrijmovyDokladSRozpisem:
        must(euro ? " EUR=" : " korun=");
        // Up to 10 000 Kč a simplified tax document; the euro invoice is above it.
        if (payer)
            must(euro ? "Daňový doklad" : "Zjednodušený daňový doklad");
        if (payer && euro)
            never("Zjednodušený");
        must("IČ odběratele: 87654321 DIČ: CZ87654321");
        break;
    case DocumentKind::CenovaNabidka:
        must("Předpokládané plnění: 5.3.2026");
        break;
    case DocumentKind::DodaciList:
        break;
    }
    // The currency field is read once: an empty one prints the default currency.
    if (withPrices)
        must(euro ? "EUR" : "CZK");

    // Every payment code printed is one a bank app takes; none on a paid or returned document.
    const QStringList codes = DecodeQrCodes(pdf, 1);
    for (const QString& code : codes)
        QVERIFY2(SpaydProblem(code).isEmpty(),
                 qPrintable(code + QStringLiteral(": ") + SpaydProblem(code)));
    if (k == DocumentKind::DanovyDoklad || k == DocumentKind::Dobropis)
        QVERIFY(codes.isEmpty());
    if (k == DocumentKind::Faktura) {
        QCOMPARE(codes.size(), 1);
        // The code asks for the amount due: rounded to whole crowns for cash.
        const AmountDue due = ComputeInvoiceFigures(invoice.fields, settings, k).Due;
        const QString am = FormatHalere(due.Due).replace(QLatin1Char(','), QLatin1Char('.'));
        QVERIFY2(codes[0].contains(QStringLiteral("*AM:") + am + QLatin1Char('*')),
                 qPrintable(codes[0]));
        must("QR Platba");
    }
}

void DocumentsPdfTest::receiptsSayWhatTheAmountAllows_data() {
    QTest::addColumn<QString>("price"); // one row at 21 %, paid in cash
    QTest::addColumn<QString>("currency");
    QTest::addColumn<bool>("withItems");
    QTest::addColumn<QStringList>("printed");
    QTest::addColumn<QStringList>("never");
    const QStringList receipt{"PŘÍJMOVÝ POKLADNÍ DOKLAD", "Přijato od:", "Přijal (pokladník):"};
    QTest::newRow("10 000,00 simplified")
        << "8264,46"
        << "" << false << (receipt + QStringList{"Zjednodušený daňový doklad", "10000,00 CZK"})
        << QStringList{"Odběratel:", "VÝDAJOVÝ"};
    QTest::newRow("10 000,49 full")
        << "8264,87"
        << "" << false
        << (receipt + QStringList{"Daňový doklad", "Mlýnská 5, 62800 Brno", "10000,00 CZK"})
        << QStringList{"Zjednodušený"};
    QTest::newRow("with items above the limit")
        << "38482,00"
        << "CZK" << true << QStringList{"Daňový doklad", "Mlýnská 5, 62800 Brno", "46563,00 CZK"}
        << QStringList{"Zjednodušený"};
    QTest::newRow("negative: paid out")
        << "-6371,08"
        << "CZK" << false
        << QStringList{"VÝDAJOVÝ POKLADNÍ DOKLAD",
                       "Vyplaceno komu:",
                       "Vyplaceno:",
                       "7709,00 CZK",
                       "=sedmtisícsedmsetdevět korun=",
                       "1337,93",
                       "Vyplatil (pokladník):",
                       "Převzal:"}
        << QStringList{"PŘÍJMOVÝ", "Přijato", "minus", "-7709", "-1337"};
    QTest::newRow("with items, negative: paid out")
        << "-6371,08"
        << "CZK" << true << QStringList{"Výdajový doklad",       "Vyplaceno komu:",
                                        "Vráceno 7709,00 CZK",   "=sedmtisícsedmsetdevět korun=",
                                        "Vyplatil (pokladník):", "Převzal:"}
        << QStringList{"Příjmový", "Přijato", "Přijal", "Zaplatil", "minus"};
    QTest::newRow("EUR: rate and tax in crowns")
        << "100,00"
        << "eur" << false
        << QStringList{"121,00 EUR", "Kurz EUR: 25,125 CZK ke dni 4.3.2026", "v CZK 527,63"}
        << QStringList{"Zaokrouhlení", "eur"};
    QTest::newRow("EUR with items: rate and tax in crowns")
        << "100,00"
        << "EUR" << true
        << QStringList{"121,00 EUR", "25,125 CZK ke dni 4.3.2026", "DPH v CZK", "527,63"}
        << QStringList{"Zaokrouhlení"};
}

// The two receipts rendered as printed: a simplified tax document only up to 10 000 Kč, above it
// a full one naming the customer; a negative cash receipt pays out with positive figures; in
// euros the rate and the tax in crowns.
void DocumentsPdfTest::receiptsSayWhatTheAmountAllows() {
    QFETCH(QString, price);
    QFETCH(QString, currency);
    QFETCH(bool, withItems);
    QFETCH(QStringList, printed);
    QFETCH(QStringList, never);
    const AppSettings settings = Settings(true);
    InvoiceSnapshot invoice = SampleInvoice();
    invoice.fields.Polozky = {};
    invoice.fields.Polozky[0] = Row("A1", "Oprava stolu", "ks", "1", "", "21");
    invoice.fields.Polozky[0].Cena = price;
    invoice.fields.FormaUhrady = QStringLiteral("H");
    invoice.fields.Mena = currency;
    invoice.fields.Kurz = QStringLiteral("25,125");
    invoice.fields.DatumKurzu = QStringLiteral("4.3.2026");
    const DocumentKind kind = DocumentKind::PrijmovyDokladSRozpisem;
    CheckDocumentPrintable(kind, invoice, settings);

    TempProgramFolder folder;
    const QString pdf = folder.file(QStringLiteral("doklad.pdf"));
    LoadedModule module;
    QString message;
    ReportDataSet items;
    FillInvoiceItems(items, kind, invoice);
    const ModuleDataSet set(items);
    const int result =
        withItems ? module.renderPdf(QStringLiteral("PrijmovyDoklad2.fr3"),
                                     DocumentReportTitle(kind, true, invoice.fields.Cislo,
                                                         CashReceiptPaysOut(invoice, settings)),
                                     InvoiceDocumentVariables(kind, invoice, settings).text(),
                                     set.get(), pdf, &message)
                  : module.renderPdf(QStringLiteral("PrijmovyDoklad.fr3"),
                                     CashReceiptTitle(CashReceiptPaysOut(invoice, settings)),
                                     CashReceiptVariables(invoice, settings).text(), nullptr, pdf,
                                     &message);
    QVERIFY2(result >= 1, qPrintable(message));
    const QString text = PdfText(pdf).simplified();
    for (const QString& t : printed)
        QVERIFY2(text.contains(t), qPrintable(QStringLiteral("missing: ") + t + " in " + text));
    for (const QString& t : never)
        QVERIFY2(!text.contains(t), qPrintable(QStringLiteral("printed: ") + t + " in " + text));
    if (!qEnvironmentVariableIsEmpty("TARVELA_KEEP_PDF"))
        QFile::copy(pdf, qEnvironmentVariable("TARVELA_KEEP_PDF") + QLatin1Char('/') +
                             QString::fromUtf8(QTest::currentDataTag()) + QStringLiteral(".pdf"));
}

QTEST_MAIN(DocumentsPdfTest)
#include "documents_pdf_test.moc"
