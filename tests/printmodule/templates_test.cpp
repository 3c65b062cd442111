// Every report template rendered through the loaded print module and read back from the PDF:
// the text poppler extracts, the page count, the size of the body text and the QR code.
#include "printing/accountant_export.h"
#include "printing/module_data_set.h"
#include "printing/report_data_set.h"
#include "printmodule/prm1_test_support.h"
#include "support/printing_fixtures.h"
#include "support/test_support.h"
#include "text/codec.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

using namespace tarvela::test;

namespace {

const QString kQrText = QStringLiteral(
    "SPD*1.0*ACC:CZ6508000000192000145399*AM:42587.26*CC:CZK*X-VS:2026015*MSG:ZALOHA ZA NABYTEK");

using Pairs = QList<QPair<QString, QString>>;

Pairs With(Pairs pairs, const QString& name, const QString& value) {
    for (auto& pair : pairs) {
        if (pair.first == name)
            pair.second = value;
    }
    return pairs;
}

// The heights (in points) of the boxes poppler gives the word on the page.
QList<double> WordHeights(const QString& pdf, const QString& word) {
    QProcess process;
    process.start("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
    process.waitForFinished(60000);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    QList<double> heights;
    const QRegularExpression re(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(5) == word)
            heights << m.captured(4).toDouble() - m.captured(2).toDouble();
    }
    return heights;
}

// Lines of text with runs of spaces made single, for searching across the layout's columns.
QString Squeezed(const QString& text) {
    return text.split(u'\n').replaceInStrings(QRegularExpression(" {2,}"), " ").join(u'\n');
}

Pairs CashReceiptVariables() {
    return {{"DodavJmeno", "Ing. Petr Dvořák"},
            {"DodavNazev", "Truhlářství Dvořák s.r.o."},
            {"DodavUlice", "Květinová 1284/12"},
            {"DodavMesto", "602 00 Brno"},
            {"DodavEmail", "fakturace@truhlarstvi-dvorak.cz"},
            {"DodavTel", "Tel: +420 602 123 456"},
            {"DodavIC", "IČ: 27654321"},
            {"DodavDIC", "DIČ: CZ27654321"},
            {"CisloDokladu", "2026015"},
            {"Datum", "5.2.2026"},
            {"Mena", "CZK"},
            {"Prijem", "Hana Šťastná"},
            {"Castka", "250,90"},
            {"CastkaSlovy", "=dvěstěpadesát="},
            {"UcelPlatby", "Úhrada faktury 2026015"},
            {"Symbol", "2026015"},
            {"Pokladnik", "Jana Dvořáková"},
            {"JmenoPlatce", "Hana Šťastná"},
            // A non-payer's receipt paid to the haléř: the amount received, no rounding.
            {"CastkaKUhrade", "250,90"},
            {"Zaokrouhleni", ""},
            {"PlatceDPH", "0"}};
}

void FillOverview(CDataSet& set, int invoices) {
    set.addColumn("Id", PRM1_COLUMN_AUTOINC);
    set.addColumn("Cislo", PRM1_COLUMN_TEXT, 50);
    set.addColumn("Odberatel", PRM1_COLUMN_TEXT, 100);
    set.addColumn("Castka", PRM1_COLUMN_INTEGER);
    set.addColumn("CastkaJinaMena", PRM1_COLUMN_INTEGER);
    set.addColumn("DatumVystaveni", PRM1_COLUMN_TEXT, 10);
    set.addColumn("DatumSplatnosti", PRM1_COLUMN_TEXT, 10);
    set.addColumn("DatumUhrady", PRM1_COLUMN_TEXT, 10);
    set.addColumn("Uhrazeno", PRM1_COLUMN_INTEGER);
    set.addColumn("Mena", PRM1_COLUMN_TEXT, 3);
    set.addColumn("CastkaPresne", PRM1_COLUMN_TEXT, 15);
    set.addColumn("CastkaJinaMenaPresne", PRM1_COLUMN_TEXT, 15);
    set.addColumn("UhrazenoPresne", PRM1_COLUMN_TEXT, 15);
    for (int i = 1; i <= invoices; ++i) {
        const bool euro = i % 3 == 0;
        const bool paid = i % 2 == 1;
        const QString amount = QString::number(1000 * i + 234);
        const QString own = euro ? QString::number(100 + i) : amount;
        set.addRow({QString::number(i), QString("2026%1").arg(i, 3, 10, QChar('0')),
                    i % 2 ? "Penzion U Zeleného stromu" : "Řeznictví Šťastný a syn",
                    euro ? "0" : amount, euro ? QString::number(100 + i) : "0",
                    QString("%1.1.2026").arg(1 + i % 28), QString("%1.2.2026").arg(1 + i % 28),
                    paid ? QString("%1.2.2026").arg(1 + i % 28) : "", paid ? own : "0",
                    euro ? "EUR" : "CZK", euro ? "" : amount + ",50", euro ? own + ",50" : "",
                    paid ? own + ",50" : ""});
    }
}

} // namespace

class TemplatesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void invoiceOfVatPayer();
    void invoiceOfNonPayerWithoutQr();
    void longItemTableBreaksWithRepeatedHeader();
    void deliveryNoteHasNoPrices();
    void priceOffer();
    void receiptWithItems();
    void cashReceipt();
    void periodOverviewWithSums();
    void vatSummaryFromTheCore();
    void valuesAreEscapedAndWindows1250TemplatesRead();
    void failuresAreReported();
    void versionLabel();
    void previewShowsAndSavesPdf();
    void previewOfABrokenTemplateExplains();

private:
    QString render(const QString& templateName, const QString& title, const Pairs& pairs,
                   CDataSet* set, int expectedPages = 1);

    TempProgramFolder folder_;
    LoadedModule module_;
    int counter_ = 0;
};

QString TemplatesTest::render(const QString& templateName, const QString& title, const Pairs& pairs,
                              CDataSet* set, int expectedPages) {
    const QString pdf = folder_.file(QString("report%1.pdf").arg(++counter_));
    QString message;
    const int pages = module_.renderPdf(templateName, title, JoinVariables(pairs),
                                        set != nullptr ? set->get() : nullptr, pdf, &message);
    if (message != QString() || pages != expectedPages || PdfPageCount(pdf) != pages)
        qWarning() << templateName << "pages" << pages << "message" << message;
    return pages == expectedPages && PdfPageCount(pdf) == pages ? pdf : QString();
}

void TemplatesTest::initTestCase() {
    QVERIFY2(module_.isLoaded(), qPrintable(module_.errorString()));
}

void TemplatesTest::invoiceOfVatPayer() {
    CDataSet items;
    FillInvoiceItems(items, 4);
    const QString pdf =
        render("Faktura.fr3", "FAKTURA - DAŇOVÝ DOKLAD", InvoiceVariables(true, kQrText), &items);
    QVERIFY(!pdf.isEmpty());
    const QString text = Squeezed(PdfText(pdf));
    for (const char* expected :
         {"FAKTURA - DAŇOVÝ DOKLAD", "Číslo faktury: 2026015", "Truhlářství Dvořák s.r.o.",
          "Penzion U Zeleného stromu", "Hana Šťastná", "Náměstí Míru 7", "CZ7855123456",
          "Dubový stůl jídelní 180×90 cm", "Židle čalouněná, buk", "Montáž a doprava – Jihlava",
          "Kniha: Péče o dřevo", "IBAN: CZ65 0800 0000 1920 0014 5399",
          "Variabilní symbol: 2026015", "Datum splatnosti: 19.2.2026",
          // recapitulation per rate: base from the rows, tax from the program
          "21 % 34550,00 7255,50", "12 % 698,00 83,76", "Celkem bez DPH 35248,00",
          "Celkem k úhradě 42587,26 CZK", "QR Platba", "Děkujeme za Vaši objednávku",
          "Strana 1 z 1"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    QVERIFY(!text.contains("není plátcem"));
    QCOMPARE(DecodeQrCodes(pdf, 1), QStringList{kQrText});

    // Body text on paper at about 9 pt: poppler's word boxes span ascent to descent.
    const QList<double> heights = WordHeights(pdf, "Dubový");
    QCOMPARE(heights.size(), 1);
    QVERIFY2(heights[0] > 8.0 && heights[0] < 12.5, qPrintable(QString::number(heights[0])));
}

void TemplatesTest::invoiceOfNonPayerWithoutQr() {
    CDataSet items;
    FillInvoiceItems(items, 3);
    const QString pdf =
        render("Faktura.fr3", "FAKTURA", InvoiceVariables(false, QString()), &items);
    QVERIFY(!pdf.isEmpty());
    const QString text = Squeezed(PdfText(pdf));
    QVERIFY(text.contains("Dodavatel není plátcem DPH."));
    QVERIFY(text.contains("Celkem k úhradě 35248,00 CZK"));
    QVERIFY(!text.contains("Sazba DPH"));
    QVERIFY(!text.contains("Bez DPH"));
    QVERIFY(!text.contains("21 %"));
    QVERIFY(!text.contains("QR Platba"));
    QVERIFY(!text.contains("KNI-2")); // only three rows were filled
    QCOMPARE(DecodeQrCodes(pdf, 1), QStringList());
}

void TemplatesTest::longItemTableBreaksWithRepeatedHeader() {
    CDataSet items;
    FillInvoiceItems(items, 60, false);
    const QString pdf = render("Faktura.fr3", "FAKTURA - DAŇOVÝ DOKLAD",
                               InvoiceVariables(true, kQrText), &items, 2);
    QVERIFY(!pdf.isEmpty());
    const QString first = Squeezed(PdfText(pdf, 1));
    const QString second = Squeezed(PdfText(pdf, 2));
    QVERIFY(first.contains("Strana 1 z 2"));
    QVERIFY(second.contains("Strana 2 z 2"));
    // The column header stands above the rows on both pages.
    // (The header of two lines since the price column says "bez DPH".)
    for (const QString& page : {first, second}) {
        QVERIFY(page.contains("Kód Označení dodávky Počet"));
        QVERIFY(page.contains("Cena MJ bez DPH"));
    }
    QVERIFY(first.contains("DOP-005"));
    QVERIFY(second.contains("DOP-060"));
    // Every row is printed exactly once.
    for (int row = 5; row <= 60; ++row) {
        const QString code = QString("DOP-%1").arg(row, 3, 10, QChar('0'));
        QCOMPARE(first.count(code) + second.count(code), 1);
    }
    QVERIFY(!first.contains("Celkem k úhradě"));
    QVERIFY(second.contains("Celkem k úhradě 42587,26 CZK"));
    QCOMPARE(DecodeQrCodes(pdf, 2), QStringList{kQrText});
}

void TemplatesTest::deliveryNoteHasNoPrices() {
    CDataSet items;
    FillInvoiceItems(items, 4);
    Pairs pairs = With(InvoiceVariables(true, kQrText), "Nazev1", "DODACÍ LIST");
    pairs = With(pairs, "Nazev2", "Číslo dodacího listu:");
    const QString pdf = render("DodaciList.fr3", "DODACÍ LIST", pairs, &items);
    QVERIFY(!pdf.isEmpty());
    const QString text = Squeezed(PdfText(pdf));
    QVERIFY(text.contains("DODACÍ LIST"));
    QVERIFY(text.contains("Číslo dodacího listu: 2026015"));
    QVERIFY(text.contains("Penzion U Zeleného stromu"));
    QVERIFY(text.contains("1. TRU-001 Dubový stůl jídelní 180×90 cm 1 ks"));
    QVERIFY(text.contains("4. KNI-2 Kniha: Péče o dřevo 2 ks"));
    QVERIFY(text.contains("Převzal (odběratel):"));
    for (const char* price : {"18500,00", "2350,00", "42587,26", "7255,50"})
        QVERIFY2(!text.contains(price), price);
    QCOMPARE(DecodeQrCodes(pdf, 1), QStringList());
}

void TemplatesTest::priceOffer() {
    CDataSet items;
    FillInvoiceItems(items, 4);
    Pairs pairs = With(InvoiceVariables(true, kQrText), "Nazev1", "CENOVÁ NABÍDKA");
    pairs = With(pairs, "Nazev2", "Kód nabídky:");
    const QString pdf = render("CenovaNabidka.fr3", "CENOVÁ NABÍDKA", pairs, &items);
    QVERIFY(!pdf.isEmpty());
    const QString text = Squeezed(PdfText(pdf));
    QVERIFY(text.contains("CENOVÁ NABÍDKA"));
    QVERIFY(text.contains("Kód nabídky: 2026015"));
    QVERIFY(text.contains("Nabídka platí do: 19.2.2026"));
    QVERIFY(text.contains("Židle čalouněná, buk 6 ks 2350,00 21 % 14100,00"));
    QVERIFY(text.contains("21 % 34550,00 7255,50"));
    QVERIFY(text.contains("Celková cena s DPH 42587,26 CZK"));
}

void TemplatesTest::receiptWithItems() {
    CDataSet items;
    FillInvoiceItems(items, 4, false);
    Pairs pairs = With(InvoiceVariables(false, kQrText), "Nazev1", "Příjmový doklad");
    pairs = With(pairs, "Nazev2", "Číslo dokladu:");
    pairs = With(pairs, "CastkaSlovy", "=třicetpěttisícdvěstěčtyřicetosm=");
    const QString pdf = render("PrijmovyDoklad2.fr3", "Příjmový doklad", pairs, &items);
    QVERIFY(!pdf.isEmpty());
    const QString text = Squeezed(PdfText(pdf));
    QVERIFY(text.contains("Příjmový doklad"));
    QVERIFY(text.contains("Číslo dokladu: 2026015"));
    QVERIFY(text.contains("Přijato od: Hana Šťastná, Penzion U Zeleného stromu"));
    QVERIFY(text.contains("Účel platby: Úhrada faktury 2026015"));
    QVERIFY(text.contains("Kniha: Péče o dřevo 2 ks 349,00 698,00"));
    QVERIFY2(text.contains("Celkem k úhradě 35248,00 CZK"), qPrintable(text));
    QVERIFY(text.contains("=třicetpěttisícdvěstěčtyřicetosm="));
    QVERIFY(text.contains("Přijal (pokladník): Jana Dvořáková"));
}

void TemplatesTest::cashReceipt() {
    const QString pdf =
        render("PrijmovyDoklad.fr3", "Příjmový doklad", CashReceiptVariables(), nullptr);
    QVERIFY(!pdf.isEmpty());
    const QString text = Squeezed(PdfText(pdf));
    for (const char* expected :
         {"PŘÍJMOVÝ POKLADNÍ DOKLAD", "Číslo dokladu: 2026015", "Ze dne: 5.2.2026",
          "Truhlářství Dvořák s.r.o.", "IČ: 27654321 DIČ: CZ27654321", "Tel: +420 602 123 456",
          "Přijato od: Hana Šťastná", "Částka: 250,90 CZK",
          "Slovy: =dvěstěpadesát=", "Účel platby: Úhrada faktury 2026015",
          "Přijal (pokladník): Jana Dvořáková", "Zaplatil: Hana Šťastná"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
}

void TemplatesTest::periodOverviewWithSums() {
    // The sums per currency come from the program; the template never adds up currencies.
    const Pairs pairs = {{"Nadpis", "Evidence odeslaných faktur - rok 2026"},
                         {"VychoziMena", "CZK"},
                         {"SoucetCastka", "3469,00 CZK"},
                         {"SoucetJinaMena", "103,50 EUR"},
                         {"SoucetUhrazeno", "1234,50 CZK; 103,50 EUR"}};
    CDataSet three;
    FillOverview(three, 3);
    const QString pdf =
        render("PrehledFaktur.fr3", "Evidence odeslaných faktur - rok 2026", pairs, &three);
    QVERIFY(!pdf.isEmpty());
    const QString text = Squeezed(PdfText(pdf));
    QVERIFY(text.contains("Evidence odeslaných faktur - rok 2026"));
    QVERIFY(text.contains("Počet faktur: 3"));
    for (const char* row :
         {"1. 2026001 Penzion U Zeleného 2.1.2026 2.2.2026 2.2.2026 1234,50 1234,50 CZK",
          "2. 2026002 Řeznictví Šťastný a syn 3.1.2026 3.2.2026 2234,50 neuhrazeno",
          "3. 2026003 Penzion U Zeleného 4.1.2026 4.2.2026 4.2.2026 103,50 EUR 103,50 EUR",
          "Celkem 3469,00 CZK",
          "Jiná měna celkem: 103,50 EUR · Uhrazeno celkem: 1234,50 CZK; 103,50 EUR"})
        QVERIFY2(text.contains(QString::fromUtf8(row)), qPrintable(text));

    // Ninety invoices take three pages, each with the column header; the sums close the last.
    CDataSet many;
    FillOverview(many, 90);
    const QString longPdf =
        render("PrehledFaktur.fr3", "Evidence odeslaných faktur - rok 2026", pairs, &many, 3);
    QVERIFY(!longPdf.isEmpty());
    const QString second = Squeezed(PdfText(longPdf, 2));
    const QString last = Squeezed(PdfText(longPdf, 3));
    QVERIFY(second.contains("Č. Faktura Odběratel Datum plnění Splatnost Uhrazeno dne Částka CZK"));
    QVERIFY(last.contains("Č. Faktura Odběratel Datum plnění Splatnost Uhrazeno dne Částka CZK"));
    QVERIFY(last.contains("90. 2026090"));
    QVERIFY(last.contains("Celkem "));
}

// The VAT summary built by the program from three invoices, as the module prints it.
void TemplatesTest::vatSummaryFromTheCore() {
    const tarvela::AppSettings settings = PayerSettings();
    std::vector<tarvela::PeriodInvoice> invoices;
    for (const char* base : {"8263,64", "8265,29", "20000,00"}) {
        tarvela::PeriodInvoice invoice;
        invoice.record = SampleInvoice().fields;
        invoice.record.Polozky = {};
        invoice.record.Polozky[0] = Row("A", "Práce", "h", "1", base, "21");
        invoice.record.Cislo = QString::fromLatin1(base).left(4);
        invoice.figures = tarvela::ComputeInvoiceFigures(invoice.record, settings);
        invoices.push_back(invoice);
    }
    const auto [from, to] = tarvela::MonthRange(2026, 3);
    const tarvela::VatSummary vat = tarvela::SummarizeVat(invoices, from, to);
    tarvela::ReportDataSet rows;
    tarvela::FillVatSummary(rows, vat, settings);
    const tarvela::ModuleDataSet moduleRows(rows);
    const QString pdf = folder_.file("dph.pdf");
    QString message;
    QCOMPARE(module_.renderPdf("PrehledDPH.fr3", tarvela::VatSummaryTitle(vat),
                               tarvela::VatSummaryVariables(vat, settings).text(), moduleRows.get(),
                               pdf, &message),
             1);
    QCOMPARE(message, QString());
    const QString text = Squeezed(PdfText(pdf));
    for (const char* expected :
         {"Přehled DPH 1.3.2026 - 31.3.2026", "21 % 36528,93 7671,07", "Celkem 36528,93 7671,07",
          "CZ87654321 8265 5.3.2026 8265,29 1735,71", "CZ87654321 2000 5.3.2026 20000,00 4200,00",
          "Ostatní doklady souhrnně (1)", "21 % 8263,64 1735,36"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
}

void TemplatesTest::valuesAreEscapedAndWindows1250TemplatesRead() {
    // Markup in a value is printed as text, not interpreted.
    const QString pdf =
        render("PrijmovyDoklad.fr3", "Příjmový doklad",
               With(CashReceiptVariables(), "Prijem", "<b>Novák & syn</b> 'a' \"b\""), nullptr);
    QVERIFY(!pdf.isEmpty());
    QVERIFY(Squeezed(PdfText(pdf)).contains("Přijato od: <b>Novák & syn</b> 'a' \"b\""));

    // A template saved in Windows-1250 by a user's editor.
    folder_.writeBytes("Ses/Vlastni.fr3", tarvela::EncodeCp1250("<p>Žluťoučký kůň: {{Kun}}</p>"));
    const QString own = folder_.file("own.pdf");
    QString message;
    auto render = reinterpret_cast<Prm1SestavaDoPDFFn>(module_.resolve("SestavaDoPDF"));
    const QByteArray path = tarvela::EncodeCp1250(folder_.file("Ses/Vlastni.fr3"));
    const QByteArray vars = tarvela::EncodeCp1250("Kun|úpěl ďábelské ódy");
    QCOMPARE(render(path.constData(), nullptr, vars.constData(), nullptr, own.toUtf8().constData(),
                    nullptr, 0),
             1);
    QVERIFY(PdfText(own).contains("Žluťoučký kůň: úpěl ďábelské ódy"));
}

void TemplatesTest::failuresAreReported() {
    QString message;
    const QString pdf = folder_.file("failed.pdf");
    QCOMPARE(module_.renderPdf("Neni.fr3", "X", "A|1", nullptr, pdf, &message),
             PRM1_ERROR_TEMPLATE_UNREADABLE);
    QVERIFY(message.contains("Neni.fr3"));
    QVERIFY(!QFile::exists(pdf));

    folder_.writeBytes("Ses/Chybna.fr3", "<p>{{#Radky}}bez konce</p>");
    auto render = reinterpret_cast<Prm1SestavaDoPDFFn>(module_.resolve("SestavaDoPDF"));
    const QByteArray broken = folder_.file("Ses/Chybna.fr3").toUtf8();
    char buffer[300];
    QCOMPARE(render(broken.constData(), nullptr, nullptr, nullptr, pdf.toUtf8().constData(), buffer,
                    sizeof buffer),
             PRM1_ERROR_TEMPLATE_INVALID);
    QVERIFY(QString::fromLatin1(buffer).contains("Radky"));

    QCOMPARE(module_.renderPdf("Faktura.fr3", "X", "A|1", nullptr,
                               folder_.file("neni/slozka/x.pdf"), &message),
             PRM1_ERROR_OUTPUT);

    Prm1ReportDataSet bad{};
    bad.structSize = 4;
    QCOMPARE(module_.renderPdf("Faktura.fr3", "X", "A|1", &bad, pdf, &message),
             PRM1_ERROR_ARGUMENTS);
    bad.structSize = sizeof bad;
    bad.columnCount = 2; // columns missing
    QCOMPARE(module_.renderPdf("Faktura.fr3", "X", "A|1", &bad, pdf, &message),
             PRM1_ERROR_ARGUMENTS);

    // The message is cut to the caller's buffer and always ends with a zero byte.
    char tiny[8];
    std::memset(tiny, 'x', sizeof tiny);
    const QByteArray missing = folder_.file("Ses/Neni.fr3").toUtf8();
    render(missing.constData(), nullptr, nullptr, nullptr, pdf.toUtf8().constData(), tiny,
           sizeof tiny);
    QCOMPARE(std::strlen(tiny), sizeof tiny - 1);
}

void TemplatesTest::versionLabel() {
    auto version = reinterpret_cast<Prm1OznaceniVerzeDLLFn>(module_.resolve("OznaceniVerzeDLL"));
    QVERIFY(version != nullptr);
    QVERIFY(
        QRegularExpression(R"(^\d+\.\d+\.\d+$)").match(QString::fromLatin1(version())).hasMatch());
}

void TemplatesTest::previewShowsAndSavesPdf() {
    const QString saved = folder_.file("ulozeno.pdf");
    QString seenTitle;
    bool hadSaveButton = false;
    bool czechPrint = false; // Qt's own texts of the preview in Czech
    // Drive the modal preview from inside its event loop: save, then close.
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        seenTitle = dialog->windowTitle();
        for (QAction* action : dialog->findChildren<QAction*>())
            czechPrint = czechPrint || action->text() == QString("Tisk");
        QAction* save = dialog->findChild<QAction*>("Akce_UlozitPDF");
        hadSaveButton = save != nullptr && save->text() == QString("Uložit jako PDF");
        QTimer::singleShot(0, this, [&, dialog] {
            auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(files != nullptr);
            files->selectFile(saved);
            QMetaObject::invokeMethod(files, "accept");
            QTimer::singleShot(0, dialog, &QDialog::reject);
        });
        if (save != nullptr)
            save->trigger();
    });
    CDataSet items;
    FillInvoiceItems(items, 4);
    auto preview = reinterpret_cast<Prm1SestavaStandardFn>(module_.resolve("SestavaStandard"));
    const QByteArray path = tarvela::EncodeCp1250(TemplatePath("Faktura.fr3"));
    const QByteArray title = tarvela::EncodeCp1250("FAKTURA - DAŇOVÝ DOKLAD");
    const QByteArray vars = tarvela::EncodeCp1250(JoinVariables(InvoiceVariables(true, kQrText)));
    preview(qApp, path.constData(), title.constData(), vars.constData(), PRM1_MODE_PREVIEW,
            items.get());

    QCOMPARE(seenTitle, QString("Náhled sestavy - FAKTURA - DAŇOVÝ DOKLAD"));
    QVERIFY(hadSaveButton);
    QVERIFY(czechPrint);
    QVERIFY(QFile::exists(saved));
    QCOMPARE(PdfPageCount(saved), 1);
    QVERIFY(Squeezed(PdfText(saved)).contains("Celkem k úhradě 42587,26 CZK"));

    // A report without rows closes the same way.
    bool shown = false;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        shown = dialog != nullptr;
        if (dialog != nullptr)
            dialog->reject();
    });
    auto plain = reinterpret_cast<Prm1SestavaNeDBFn>(module_.resolve("SestavaNeDB"));
    const QByteArray receipt = tarvela::EncodeCp1250(TemplatePath("PrijmovyDoklad.fr3"));
    const QByteArray receiptVars = tarvela::EncodeCp1250(JoinVariables(CashReceiptVariables()));
    plain(qApp, receipt.constData(), nullptr, receiptVars.constData(), PRM1_MODE_PREVIEW);
    QVERIFY(shown);
}

void TemplatesTest::previewOfABrokenTemplateExplains() {
    folder_.writeBytes("Ses/Rozbita.fr3", "<p>{{#Ano.PlatceDPH}}bez konce</p>");
    QString shown;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        shown = box->windowTitle() + ": " + box->text();
        box->accept();
    });
    auto plain = reinterpret_cast<Prm1SestavaNeDBFn>(module_.resolve("SestavaNeDB"));
    const QByteArray path = folder_.file("Ses/Rozbita.fr3").toUtf8();
    plain(qApp, path.constData(), nullptr, nullptr, PRM1_MODE_PREVIEW);
    QVERIFY2(shown.startsWith("Upozornění: Chyba v předloze"), qPrintable(shown));
    QVERIFY(shown.contains("Ano.PlatceDPH"));
}

QTEST_MAIN(TemplatesTest)
#include "templates_test.moc"
